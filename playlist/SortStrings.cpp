#include "SortStrings.h"

#include <algorithm>

namespace mdlCommonFunctions {

void SortStrings(QStringList& texts)
{
    // QString's operator< is the ordinal comparison of UTF-16 code units: no case folding
    // and no locale.
    std::stable_sort(texts.begin(), texts.end());
}

} // namespace mdlCommonFunctions
