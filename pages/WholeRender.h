#ifndef WHOLERENDER_H
#define WHOLERENDER_H

#include "pages/PictureCache.h"

// A page rendered whole to go out, at whatever scale: while one is alive, pictures are
// decoded at once instead of on a worker, so none is left out.
class WholeRender
{
public:
    WholeRender() { PictureCache::instance()->beginWholeRender(); }
    ~WholeRender() { PictureCache::instance()->endWholeRender(); }
    WholeRender(const WholeRender &) = delete;
    WholeRender &operator=(const WholeRender &) = delete;
};

#endif // WHOLERENDER_H
