#include "pdf/AbortableOutputDev.h"

#include "pdf/ImageReduction.h"

#include <QDebug>

#include <poppler/GfxState.h>
#include <poppler/Object.h>
#include <poppler/Stream.h>
#include <poppler/splash/Splash.h>
#include <poppler/splash/SplashBitmap.h>

AbortableOutputDev::AbortableOutputDev(SplashColorPtr paper, std::function<bool()> aborted)
    : SplashOutputDev(splashModeXBGR8, 4, false, paper, true), m_aborted(std::move(aborted))
{
}

bool AbortableOutputDev::wasRead(bool read, int width, int height) const
{
    if (!read && !m_aborted())
        qDebug() << "AbortableOutputDev: image of" << width << "x" << height << "not read";
    return read;
}

bool AbortableOutputDev::readStencil(ImageReduction &mask, Stream *str, int width, int height,
                                     bool invert, bool toBits) const
{
    const QSize size = ImageReduction::size(width, height, toBits ? 1 : 8);
    return wasRead(mask.readStencil(str, width, height, invert, toBits, size, m_aborted), width,
                   height);
}

bool AbortableOutputDev::takesCoverage()
{
    return getSplash()->getBitmap()->getMode() == splashModeXBGR8 && !getSplash()->getSoftMask();
}

bool AbortableOutputDev::reduceColour(ImageReduction &image, Stream *&str, int &width, int &height,
                                      GfxImageColorMap *&colorMap, const QSize &size) const
{
    if (!wasRead(image.readColour(str, width, height, colorMap, nullptr, false, size, m_aborted),
                 width, height))
        return false;
    str = image.stream();
    width = image.width();
    height = image.height();
    colorMap = image.colorMap();
    return true;
}

void AbortableOutputDev::drawImageMask(GfxState *state, Object *ref, Stream *str, int width,
                                       int height, bool invert, bool interpolate, bool inlineImg)
{
    if (m_aborted())
        return;
    if (!ImageReduction::isLarge(width, height, 1, 1)) {
        SplashOutputDev::drawImageMask(state, ref, str, width, height, invert, interpolate,
                                       inlineImg);
        return;
    }
    if (state->getFillColorSpace()->isNonMarking())
        return;
    const bool toBits = !takesCoverage();
    ImageReduction mask;
    if (!readStencil(mask, str, width, height, invert, toBits))
        return;
    if (toBits) {
        SplashOutputDev::drawImageMask(state, ref, mask.stream(), mask.width(), mask.height(),
                                       false, interpolate, false);
        return;
    }
    // The fill colour, drawn through the share of each pixel that paints.
    GfxRGB rgb;
    state->getFillRGB(&rgb);
    const char fill[3] = {char(colToByte(rgb.r)), char(colToByte(rgb.g)), char(colToByte(rgb.b))};
    MemStream colour(fill, 0, 3, Object(objNull));
    const auto colourMap = ImageReduction::rgbMap();
    SplashOutputDev::drawSoftMaskedImage(state, ref, &colour, 1, 1, colourMap.get(), false,
                                         mask.stream(), mask.width(), mask.height(),
                                         mask.colorMap(), interpolate);
}

void AbortableOutputDev::setSoftMaskFromImageMask(GfxState *state, Object *ref, Stream *str,
                                                  int width, int height, bool invert,
                                                  bool inlineImg, double *baseMatrix)
{
    if (!m_aborted() && !ImageReduction::isLarge(width, height, 1, 1)) {
        SplashOutputDev::setSoftMaskFromImageMask(state, ref, str, width, height, invert, inlineImg,
                                                  baseMatrix);
        return;
    }
    // The soft mask made here is drawn from bits only: a large stencil is dithered into them.
    ImageReduction mask;
    if (!m_aborted() && readStencil(mask, str, width, height, invert, true)) {
        SplashOutputDev::setSoftMaskFromImageMask(state, ref, mask.stream(), mask.width(),
                                                  mask.height(), false, false, baseMatrix);
        return;
    }
    // The caller unsets the mask whatever happens here: one that paints nothing stands in.
    const char nothing = invert ? '\x00' : '\xff';
    MemStream none(&nothing, 0, 1, Object(objNull));
    SplashOutputDev::setSoftMaskFromImageMask(state, ref, &none, 1, 1, invert, false, baseMatrix);
}

void AbortableOutputDev::drawImage(GfxState *state, Object *ref, Stream *str, int width, int height,
                                   GfxImageColorMap *colorMap, bool interpolate,
                                   const int *maskColors, bool inlineImg)
{
    if (m_aborted())
        return;
    if (!ImageReduction::isLarge(width, height, colorMap->getNumPixelComps(),
                                 colorMap->getBits())) {
        SplashOutputDev::drawImage(state, ref, str, width, height, colorMap, interpolate,
                                   maskColors, inlineImg);
        return;
    }
    // A colour key becomes the share of each pixel outside it, or bits dithered from that.
    const bool keyToBits = maskColors && !takesCoverage();
    const int bitsPerPixel = maskColors ? (keyToBits ? 25 : 32) : 24;
    ImageReduction image;
    if (!wasRead(image.readColour(str, width, height, colorMap, maskColors, keyToBits,
                                  ImageReduction::size(width, height, bitsPerPixel), m_aborted),
                 width, height))
        return;
    if (!maskColors)
        SplashOutputDev::drawImage(state, ref, image.stream(), image.width(), image.height(),
                                   image.colorMap(), interpolate, nullptr, false);
    else if (keyToBits)
        SplashOutputDev::drawMaskedImage(state, ref, image.stream(), image.width(), image.height(),
                                         image.colorMap(), interpolate, image.alphaStream(),
                                         image.width(), image.height(), false, interpolate);
    else
        SplashOutputDev::drawSoftMaskedImage(state, ref, image.stream(), image.width(),
                                             image.height(), image.colorMap(), interpolate,
                                             image.alphaStream(), image.width(), image.height(),
                                             image.alphaColorMap(), interpolate);
}

void AbortableOutputDev::drawMaskedImage(GfxState *state, Object *ref, Stream *str, int width,
                                         int height, GfxImageColorMap *colorMap, bool interpolate,
                                         Stream *maskStr, int maskWidth, int maskHeight,
                                         bool maskInvert, bool maskInterpolate)
{
    if (m_aborted())
        return;
    ImageReduction image;
    if (ImageReduction::isLarge(width, height, colorMap->getNumPixelComps(), colorMap->getBits()) &&
        !reduceColour(image, str, width, height, colorMap, ImageReduction::size(width, height, 24)))
        return;
    if (!ImageReduction::isLarge(maskWidth, maskHeight, 1, 1)) {
        SplashOutputDev::drawMaskedImage(state, ref, str, width, height, colorMap, interpolate,
                                         maskStr, maskWidth, maskHeight, maskInvert,
                                         maskInterpolate);
        return;
    }
    // The stencil becomes the share of each pixel that shows the image, or bits dithered
    // from that.
    const bool toBits = !takesCoverage();
    ImageReduction mask;
    if (!readStencil(mask, maskStr, maskWidth, maskHeight, maskInvert, toBits))
        return;
    if (toBits)
        SplashOutputDev::drawMaskedImage(state, ref, str, width, height, colorMap, interpolate,
                                         mask.stream(), mask.width(), mask.height(), false,
                                         maskInterpolate);
    else
        SplashOutputDev::drawSoftMaskedImage(state, ref, str, width, height, colorMap, interpolate,
                                             mask.stream(), mask.width(), mask.height(),
                                             mask.colorMap(), maskInterpolate);
}

void AbortableOutputDev::drawSoftMaskedImage(GfxState *state, Object *ref, Stream *str, int width,
                                             int height, GfxImageColorMap *colorMap,
                                             bool interpolate, Stream *maskStr, int maskWidth,
                                             int maskHeight, GfxImageColorMap *maskColorMap,
                                             bool maskInterpolate)
{
    if (m_aborted())
        return;
    const bool largeImage =
        ImageReduction::isLarge(width, height, colorMap->getNumPixelComps(), colorMap->getBits());
    const bool largeMask = ImageReduction::isLarge(
        maskWidth, maskHeight, maskColorMap->getNumPixelComps(), maskColorMap->getBits());
    if (!largeImage && !largeMask) {
        SplashOutputDev::drawSoftMaskedImage(state, ref, str, width, height, colorMap, interpolate,
                                             maskStr, maskWidth, maskHeight, maskColorMap,
                                             maskInterpolate);
        return;
    }
    // An image premultiplied against a matte is drawn pixel for pixel with its mask: both are
    // reduced alike.
    const GfxColor *matte = maskColorMap->getMatteColor();
    const QSize imageSize = ImageReduction::size(width, height, 24);
    const bool alike = matte && maskWidth == width && maskHeight == height;
    const QSize maskSize = alike ? imageSize : ImageReduction::size(maskWidth, maskHeight, 8);
    GfxColor matteRgb{};
    if (matte) {
        GfxRGB rgb;
        colorMap->getColorSpace()->getRGB(matte, &rgb);
        matteRgb.c[0] = rgb.r;
        matteRgb.c[1] = rgb.g;
        matteRgb.c[2] = rgb.b;
    }
    ImageReduction image;
    if ((largeImage || matte) && !reduceColour(image, str, width, height, colorMap, imageSize))
        return;
    ImageReduction mask;
    if (largeMask || matte) {
        if (!wasRead(
                mask.readGray(maskStr, maskWidth, maskHeight, maskColorMap, maskSize, m_aborted),
                maskWidth, maskHeight))
            return;
        maskStr = mask.stream();
        maskWidth = mask.width();
        maskHeight = mask.height();
        maskColorMap = mask.colorMap();
        if (matte)
            maskColorMap->setMatteColor(&matteRgb);
    }
    SplashOutputDev::drawSoftMaskedImage(state, ref, str, width, height, colorMap, interpolate,
                                         maskStr, maskWidth, maskHeight, maskColorMap,
                                         maskInterpolate);
}
