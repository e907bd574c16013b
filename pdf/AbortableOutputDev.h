#ifndef ABORTABLEOUTPUTDEV_H
#define ABORTABLEOUTPUTDEV_H

#include <poppler/SplashOutputDev.h>

#include <functional>

class ImageReduction;
class QSize;

// Splash output device whose images heed the page's abort check: none is drawn once the page
// is aborted, and an image whose decoded bytes exceed ImageReduction::kMaxDirectBytes is read
// row by row into a reduction, checking between rows, before it is drawn. One image of a huge
// declared size thus neither holds a render past its abort nor costs more than its reduction.
// A reduction averages, so the page comes out as it would with the image at full size; a
// stencil or colour key that cannot be drawn as such a share is dithered into bits.
class AbortableOutputDev : public SplashOutputDev
{
public:
    AbortableOutputDev(SplashColorPtr paper, std::function<bool()> aborted);

    void drawImageMask(GfxState *state, Object *ref, Stream *str, int width, int height,
                       bool invert, bool interpolate, bool inlineImg) override;
    void setSoftMaskFromImageMask(GfxState *state, Object *ref, Stream *str, int width, int height,
                                  bool invert, bool inlineImg, double *baseMatrix) override;
    void drawImage(GfxState *state, Object *ref, Stream *str, int width, int height,
                   GfxImageColorMap *colorMap, bool interpolate, const int *maskColors,
                   bool inlineImg) override;
    void drawMaskedImage(GfxState *state, Object *ref, Stream *str, int width, int height,
                         GfxImageColorMap *colorMap, bool interpolate, Stream *maskStr,
                         int maskWidth, int maskHeight, bool maskInvert,
                         bool maskInterpolate) override;
    void drawSoftMaskedImage(GfxState *state, Object *ref, Stream *str, int width, int height,
                             GfxImageColorMap *colorMap, bool interpolate, Stream *maskStr,
                             int maskWidth, int maskHeight, GfxImageColorMap *maskColorMap,
                             bool maskInterpolate) override;

private:
    // Whether a reduction of a width x height image was read; says so when it was not and the
    // page goes on.
    bool wasRead(bool read, int width, int height) const;
    // Reads a large stencil into a reduction: the share of each pixel that paints, or bits
    // dithered from that.
    bool readStencil(ImageReduction &mask, Stream *str, int width, int height, bool invert,
                     bool toBits) const;
    // Whether a share of each pixel can be drawn, as a soft mask: not into a Type 3 glyph's
    // bitmap, which takes bits only, nor where the graphics state's soft mask is in force,
    // which it would stand in for.
    bool takesCoverage();
    // Reads a colour image into a reduction of size and puts the reduction in its place.
    bool reduceColour(ImageReduction &image, Stream *&str, int &width, int &height,
                      GfxImageColorMap *&colorMap, const QSize &size) const;

    std::function<bool()> m_aborted;
};

#endif // ABORTABLEOUTPUTDEV_H
