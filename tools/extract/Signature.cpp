#include "Signature.h"

#include "ProjectorReader.h"

namespace mdlExtractSWF {

bool MatchSignature(ProjectorReader& reader, const Signature& letters)
{
    if (reader.readByte() != letters.L1 || reader.endFlag())
        return false;
    if (reader.readByte() != letters.L2 || reader.endFlag())
        return false;
    return reader.readByte() == letters.L3 && !reader.endFlag();
}

bool FindSignature(ProjectorReader& reader, const Signature& letters)
{
    while (!reader.endFlag()) {
        // An attempt on a byte other than the first letter fails on that byte alone, so
        // the attempts up to the next first letter are passed over in one search.
        reader.skipTo(letters.L1);
        const qint64 start = reader.position();
        if (!MatchSignature(reader, letters))
            continue;

        reader.readByte(); // the version byte
        if (!MatchSignature(reader, letters)) {
            reader.setPosition(start + 3);
            return true;
        }
        // The letters follow again right after the version byte: no movie starts here, nor
        // in the run of repetitions that follows.
        do
            reader.readByte();
        while (MatchSignature(reader, letters));
    }
    return false;
}

} // namespace mdlExtractSWF
