#include "MovieControl.h"

#include "TwipsGeometry.h"

namespace platform {

int MovieControl::Left() const
{
    return twipsGeometry::left(*this);
}
int MovieControl::Top() const
{
    return twipsGeometry::top(*this);
}
int MovieControl::Width() const
{
    return twipsGeometry::width(*this);
}
int MovieControl::Height() const
{
    return twipsGeometry::height(*this);
}
void MovieControl::setLeft(int twips)
{
    twipsGeometry::setLeft(*this, twips);
}
void MovieControl::setTop(int twips)
{
    twipsGeometry::setTop(*this, twips);
}
void MovieControl::setWidth(int twips)
{
    twipsGeometry::setWidth(*this, twips);
}
void MovieControl::setHeight(int twips)
{
    twipsGeometry::setHeight(*this, twips);
}

} // namespace platform
