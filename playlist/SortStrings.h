#pragma once

#include <QStringList>

namespace mdlCommonFunctions {

// Sorts `texts` in place, ascending and stable, comparing whole texts ordinally: code unit
// by code unit, upper case before lower case, a prefix before the longer text. Equal
// texts keep their order. Used for the play list, whose entries are full paths, so the
// folder decides before the file name does.
void SortStrings(QStringList& texts);

} // namespace mdlCommonFunctions
