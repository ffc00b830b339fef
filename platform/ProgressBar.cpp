#include "ProgressBar.h"

#include "TwipsGeometry.h"

namespace platform {

int ProgressBar::Width() const
{
    return twipsGeometry::width(*this);
}
int ProgressBar::Top() const
{
    return twipsGeometry::top(*this);
}
void ProgressBar::setWidth(int twips)
{
    twipsGeometry::setWidth(*this, twips);
}
void ProgressBar::setTop(int twips)
{
    twipsGeometry::setTop(*this, twips);
}

} // namespace platform
