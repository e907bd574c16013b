#ifndef ABORTABLEOUTPUTDEV_H
#define ABORTABLEOUTPUTDEV_H

#include <poppler/SplashOutputDev.h>

#include <functional>

class ImageReduction;

// Splash output device whose images heed the page's abort check: none is drawn once the page
// is aborted, and an image whose decoded bytes exceed ImageReduction::kMaxDirectBytes is read
// row by row into a reduction, checking between rows, before it is drawn. One image of a huge
// declared size thus neither holds a render past its abort nor costs more than its reduction.
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
    // Leaves a small image as it is; reads a large one into reduction and puts the reduction
    // in its place. False when the image is not to be drawn: the page is aborted, or the image
    // cannot be read.
    bool reduce(ImageReduction &reduction, Stream *&str, int &width, int &height, int components,
                int bits, bool &inlineImg) const;

    std::function<bool()> m_aborted;
};

#endif // ABORTABLEOUTPUTDEV_H
