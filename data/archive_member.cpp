#include "data/archive_member.h"

#include "data/rar20_format.h"

bool MemberHeader::isFolder() const {
    return (flags & rar::folderEntry) == rar::folderEntry;
}

const char* describe(ExtractResult result) {
    switch (result) {
    case ExtractResult::ok:
        return "ok";
    case ExtractResult::notAnArchive:
        return "not a RAR archive";
    case ExtractResult::truncatedHeader:
        return "header cut short";
    case ExtractResult::badHeader:
        return "damaged header (its sizes contradict each other)";
    case ExtractResult::headerCrcMismatch:
        return "damaged header (header CRC mismatch)";
    case ExtractResult::packedDataPastEnd:
        return "packed data runs past the end";
    case ExtractResult::notFound:
        return "not found";
    case ExtractResult::unsupportedVersion:
        return "unsupported version";
    case ExtractResult::encrypted:
        return "encrypted";
    case ExtractResult::tooLarge:
        return "larger than 256 MiB";
    case ExtractResult::dataError:
        return "damaged data";
    case ExtractResult::crcMismatch:
        return "CRC mismatch";
    case ExtractResult::olderMethodDataError:
        return "damaged data (perhaps packed by a method older than 2.0, which this reader does not decode)";
    case ExtractResult::olderMethodCrcMismatch:
        return "CRC mismatch (perhaps packed by a method older than 2.0, which this reader does not decode)";
    case ExtractResult::solidPredecessorFailed:
        return "an earlier member of the solid stream failed";
    case ExtractResult::notAFile:
        return "a folder, not a file";
    case ExtractResult::outsideFolder:
        return "a link leading out of the show's folder";
    case ExtractResult::tooManyFiles:
        return "the show's folder holds more than 10000 entries";
    }
    return "unknown result";
}
