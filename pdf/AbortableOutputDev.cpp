#include "pdf/AbortableOutputDev.h"

#include "pdf/ImageReduction.h"

#include <QDebug>

#include <poppler/GfxState.h>
#include <poppler/Object.h>
#include <poppler/Stream.h>

AbortableOutputDev::AbortableOutputDev(SplashColorPtr paper, std::function<bool()> aborted)
    : SplashOutputDev(splashModeXBGR8, 4, false, paper, true), m_aborted(std::move(aborted))
{
}

bool AbortableOutputDev::reduce(ImageReduction &reduction, Stream *&str, int &width, int &height,
                                int components, int bits, bool &inlineImg) const
{
    if (m_aborted())
        return false;
    const int step = ImageReduction::step(width, height, components, bits);
    if (step == 1)
        return true;
    if (!reduction.read(str, width, height, components, bits, step, m_aborted)) {
        if (!m_aborted())
            qDebug() << "AbortableOutputDev: image of" << width << "x" << height << "not read";
        return false;
    }
    str = reduction.stream();
    width = reduction.width();
    height = reduction.height();
    inlineImg = false; // read out of the content stream already
    return true;
}

void AbortableOutputDev::drawImageMask(GfxState *state, Object *ref, Stream *str, int width,
                                       int height, bool invert, bool interpolate, bool inlineImg)
{
    ImageReduction mask;
    if (reduce(mask, str, width, height, 1, 1, inlineImg))
        SplashOutputDev::drawImageMask(state, ref, str, width, height, invert, interpolate,
                                       inlineImg);
}

void AbortableOutputDev::setSoftMaskFromImageMask(GfxState *state, Object *ref, Stream *str,
                                                  int width, int height, bool invert,
                                                  bool inlineImg, double *baseMatrix)
{
    // The caller unsets the mask whatever happens here: one that paints nothing stands in.
    ImageReduction mask;
    if (!reduce(mask, str, width, height, 1, 1, inlineImg)) {
        const char nothing = invert ? '\x00' : '\xff';
        MemStream none(&nothing, 0, 1, Object(objNull));
        SplashOutputDev::setSoftMaskFromImageMask(state, ref, &none, 1, 1, invert, false,
                                                  baseMatrix);
        return;
    }
    SplashOutputDev::setSoftMaskFromImageMask(state, ref, str, width, height, invert, inlineImg,
                                              baseMatrix);
}

void AbortableOutputDev::drawImage(GfxState *state, Object *ref, Stream *str, int width, int height,
                                   GfxImageColorMap *colorMap, bool interpolate,
                                   const int *maskColors, bool inlineImg)
{
    ImageReduction image;
    if (reduce(image, str, width, height, colorMap->getNumPixelComps(), colorMap->getBits(),
               inlineImg))
        SplashOutputDev::drawImage(state, ref, str, width, height, colorMap, interpolate,
                                   maskColors, inlineImg);
}

void AbortableOutputDev::drawMaskedImage(GfxState *state, Object *ref, Stream *str, int width,
                                         int height, GfxImageColorMap *colorMap, bool interpolate,
                                         Stream *maskStr, int maskWidth, int maskHeight,
                                         bool maskInvert, bool maskInterpolate)
{
    ImageReduction image;
    ImageReduction mask;
    bool inlineImg = false;
    if (reduce(image, str, width, height, colorMap->getNumPixelComps(), colorMap->getBits(),
               inlineImg) &&
        reduce(mask, maskStr, maskWidth, maskHeight, 1, 1, inlineImg))
        SplashOutputDev::drawMaskedImage(state, ref, str, width, height, colorMap, interpolate,
                                         maskStr, maskWidth, maskHeight, maskInvert,
                                         maskInterpolate);
}

void AbortableOutputDev::drawSoftMaskedImage(GfxState *state, Object *ref, Stream *str, int width,
                                             int height, GfxImageColorMap *colorMap,
                                             bool interpolate, Stream *maskStr, int maskWidth,
                                             int maskHeight, GfxImageColorMap *maskColorMap,
                                             bool maskInterpolate)
{
    ImageReduction image;
    ImageReduction mask;
    bool inlineImg = false;
    if (reduce(image, str, width, height, colorMap->getNumPixelComps(), colorMap->getBits(),
               inlineImg) &&
        reduce(mask, maskStr, maskWidth, maskHeight, maskColorMap->getNumPixelComps(),
               maskColorMap->getBits(), inlineImg))
        SplashOutputDev::drawSoftMaskedImage(state, ref, str, width, height, colorMap, interpolate,
                                             maskStr, maskWidth, maskHeight, maskColorMap,
                                             maskInterpolate);
}
