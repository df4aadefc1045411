// a: files and folders added to an archive, made when missing.
#include "base/printable_text.h"
#include "base/umasked_mode.h"
#include "data/archive_reader.h"
#include "data/archive_walk.h"
#include "data/rar20_format.h"
#include "tools/sdd/archive_lock.h"
#include "tools/sdd/archive_packer.h"
#include "tools/sdd/archive_read_whole.h"
#include "tools/sdd/archive_verify.h"
#include "tools/sdd/command_report.h"
#include "tools/sdd/commands.h"
#include "tools/sdd/files_to_add.h"
#include "tools/sdd/interrupt_cleanup.h"
#include "tools/sdd/member_name.h"
#include "tools/sdd/member_time.h"
#include "tools/sdd/name_clash.h"
#include "tools/sdd/progress.h"
#include "tools/sdd/stored_file.h"
#include "tools/sdd/unicode_name.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <map>
#include <memory>
#include <optional>
#include <utility>

#include <sys/stat.h>

namespace fs = std::filesystem;

namespace {

// Larger files are packed as they are read, a chunk at a time, rather than read whole first.
constexpr std::uintmax_t packedWholeUpTo = 1u << 20;

// The name of a member as its header holds it, with its Unicode form after a zero byte where it has one, so
// that adding to an archive never turns its names into the '?' of their 8-bit stand-ins.
std::string storedName(const MemberHeader& header) {
    const bool unicode = (header.flags & rar::unicodeName) && !header.unicodePart.empty();
    return unicode ? header.name + '\0' + header.unicodePart : header.name;
}

// A kept member's attributes: a folder entry stays one, whatever its attributes say.
MemberAttributes attributesOf(const MemberHeader& header) {
    MemberAttributes attributes{header.hostOs, header.attributes};
    if (header.isFolder() && !attributes.folder())
        attributes.attributes |= header.hostOs == rar::hostUnix ? S_IFDIR : rar::dosFolderAttribute;
    return attributes;
}

// The permissions the new archive gets: those of the one it replaces, or those of a new file.
mode_t archiveMode(const std::string& archive) {
    struct stat existing {};
    return ::stat(archive.c_str(), &existing) == 0 ? existing.st_mode & 07777 : umaskedMode(0666);
}

// Says what keeps `a` from rewriting the archive: rewriting it would lose what could not be read.
void reportUnreadable(const std::string& archive, const UnreadablePart& unreadable,
                      const std::string& untouched) {
    if (unreadable.header.damage != ExtractResult::ok)
        reportDamage(archive, unreadable.header, "; cannot add to the archive" + untouched);
    else if (unreadable.trailingBytes != 0)
        fail(archive, "",
             "cannot add to it: " + counted(unreadable.trailingBytes, "byte") +
                 " after the last whole member, which no member accounts for" + untouched);
    else if (!unreadable.header.name.empty())
        fail(archive, memberNameUtf8(unreadable.header),
             std::string("cannot add to the archive, this member does not read back (") +
                 describe(unreadable.result) + ")" + untouched);
    else
        fail(archive, "", std::string("cannot add to it: ") + describe(unreadable.result) + untouched);
}

// Two names a system that ignores case cannot hold side by side are both stored, with a warning, when one of
// them is being added: a file, or a member of the archive that a file of its name replaces. Each pair is
// named once, the archive's members first, then the files whose names are new to it.
template <typename FileNamed>
void warnOfCaseOnlyClashes(const std::string& archive, const std::vector<std::string>& oldNames,
                           const std::vector<FileToAdd>& files, const FileNamed& fileNamed) {
    const auto oldName = [&](std::size_t i) -> std::string_view { return oldNames[i]; };
    const std::vector<std::uint32_t> oldByName = sameFileOrder(oldNames.size(), oldName);
    std::vector<std::string_view> names(oldNames.begin(), oldNames.end());
    for (const FileToAdd& file : files)
        if (!findSameFile(oldByName, file.name, oldName))
            names.push_back(file.name);
    const auto added = [&](std::size_t i) { return i >= oldNames.size() || fileNamed(names[i]).has_value(); };
    for (const auto& [later, earlier] : caseOnlyClashes(names))
        if (added(later) || added(earlier))
            fail(archive, names[later],
                 "warning: differs from " + printableText(names[earlier]) +
                     " only in case; both are stored, but a system that ignores case cannot hold both");
}

} // namespace

// Adds the files to the archive, made when missing. The new archive is written beside the old one as its
// members are packed, read back member by member, and only then put in its place. The members of an archive
// that is not solid are checked (decoded) and copied as they are, header and packed data, so adding a small
// file costs that file and every member keeps its method; a solid archive's members are decoded and packed
// again, one at a time, as one stream with the new ones: at the level given, or without one at the highest
// its members were packed at, so that adding a file to a -m5 archive does not undo its packing.
int addToArchive(const std::string& archive, const std::vector<std::string>& operands, PackOptions options,
                 bool levelGiven) {
    // Held to the end: another `a` on this archive waits until this one has put its archive in place.
    std::string lockProblem;
    const std::optional<ArchiveLock> lock = ArchiveLock::acquire(
        archive, [&] { fail(archive, "", "waiting for another sdd that is adding to it"); }, lockProblem);
    if (!lock) {
        fail(archive, "", lockProblem + "; it is left as it was");
        return exitSkipped;
    }
    std::error_code ec;
    const bool existed = fs::exists(fs::symlink_status(archive, ec));
    const std::string untouched = existed ? "; the archive is left as it was" : "; no archive written";
    std::optional<FileArchiveSource> old;
    std::uint64_t total = 0;
    std::vector<std::string> oldNames; // every member's, as the user sees it, for the case warning
    if (existed) {
        old.emplace(archive);
        if (!old->isOpen()) {
            fail(archive, "", std::string("cannot open to add to it: ") + std::strerror(errno));
            return exitDamaged;
        }
        ArchiveWalk walk(*old);
        if (const ExtractResult start = walk.start(); start != ExtractResult::ok) {
            fail(archive, "", std::string("cannot add to it: ") + describe(start) + untouched);
            return exitDamaged;
        }
        // A solid archive stays solid: its members are packed again as one stream.
        options.solid = options.solid || walk.solid();
        std::vector<MemberHeader> members;
        listMembers(*old, members);
        int packedAt = 0;
        for (const MemberHeader& member : members) {
            total += member.unpSize;
            oldNames.push_back(memberNameUtf8(member));
            if (member.method > rar::methodStored && member.method <= rar::methodBest)
                packedAt = std::max(packedAt, member.method - rar::methodStored);
        }
        if (options.solid && !levelGiven && packedAt > 0)
            options.level = packedAt;
    }

    std::vector<FileToAdd> files;
    int unreadable = 0;
    for (const std::string& operand : operands)
        if (!filesToAdd(archive, operand, files, unreadable, untouched))
            return exitSkipped;
    // Held to the end; the room the list grew into beyond its files would be held with it for nothing.
    files.shrink_to_fit();
    // Where each file goes: in place of the archive's member of the same name, or after the archive's own.
    const std::vector<std::uint32_t> filesByName =
        sameFileOrder(files.size(), [&](std::size_t i) -> std::string_view { return files[i].name; });
    const auto fileNamed = [&](std::string_view name) {
        return findSameFile(filesByName, name,
                            [&](std::size_t i) -> std::string_view { return files[i].name; });
    };
    for (std::size_t i = 1; i < filesByName.size(); ++i)
        if (!sameFileBefore(files[filesByName[i - 1]].name, files[filesByName[i]].name)) {
            fail(archive, files[filesByName[i]].name, "given twice" + untouched);
            return exitSkipped;
        }
    for (const FileToAdd& file : files) {
        // Checked before reading: such a file may not even fit in memory.
        const std::uintmax_t size = fs::is_regular_file(file.path, ec) ? fs::file_size(file.path, ec) : 0;
        if (size > largestMemberSize) {
            fail(archive, file.path,
                 "larger than 256 MiB, the most a member can hold for the readers of this format" +
                     untouched);
            return exitSkipped;
        }
        total += size;
    }
    warnOfCaseOnlyClashes(archive, oldNames, files, fileNamed);
    oldNames = {};

    std::string reason;
    std::optional<PendingFile> output =
        PendingFile::create(archive, archiveMode(archive), reason, interrupt_cleanup::temporaryFiles);
    if (!output) {
        fail(archive, "", reason + untouched);
        return exitSkipped;
    }
    // Members may be packed several at once, so the line follows them as they are written.
    Progress progress(total);
    // The shown name and size of each member added and not yet written, by its place among those added:
    // only those wait here, not every name of the archive.
    std::map<std::size_t, std::pair<std::string, std::uint64_t>> unwritten;
    std::size_t addedCount = 0;
    const auto added = [&](std::string name, std::uint64_t size) {
        unwritten.emplace(addedCount++, std::pair{std::move(name), size});
    };
    std::uint64_t done = 0;
    WrittenMembers written; // before the packer, which reports to it until it is gone
    ArchivePacker packer(
        options, [&](std::span<const std::uint8_t> bytes) { return output->write(bytes); },
        [&](std::size_t index, std::uint32_t crc) {
            written.crcFound(index, crc);
            const auto member = unwritten.find(index);
            if (member == unwritten.end())
                return;
            done += member->second.second;
            progress.show(done, member->second.first);
            unwritten.erase(member);
        });
    std::vector<bool> fileAdded(files.size(), false);
    // Read one at a time, so that only the member being packed is in memory; a member that is only stored,
    // or too large to be held whole, streams from its file, read once for its CRC and again as it is packed
    // or written. A file that cannot be read is named and left out, as tar does; anything else that goes
    // wrong ends the run.
    const auto addFile = [&](std::size_t index) {
        fileAdded[index] = true;
        const FileToAdd& file = files[index];
        const std::string name = storedNameFor(file.name);
        if (file.folder) {
            struct stat status {};
            const bool found = ::stat(file.path.c_str(), &status) == 0;
            if (!found || !S_ISDIR(status.st_mode)) {
                ++unreadable;
                fail(archive, file.path,
                     found ? "no longer a folder, not stored"
                           : std::string("cannot read, not stored: ") + std::strerror(errno));
                return true;
            }
            added(file.name, 0);
            written.add(name, {});
            return packer.add(name, std::span<const std::uint8_t>{}, dosTimeOf(status.st_mtime),
                              MemberAttributes::ofUnixMode(status.st_mode));
        }
        std::error_code sizeError;
        if (options.level == 0 || fs::file_size(file.path, sizeError) > packedWholeUpTo) {
            // Stored, its header must hold its CRC before its bytes, so it is read for that first; packed,
            // it is read once, as it is packed, and checked for a change after.
            const bool packed = options.level > 0;
            const auto stored = std::make_shared<StoredFile>();
            if (!stored->open(file.path, reason, !packed)) {
                ++unreadable;
                fail(archive, file.path, reason + ", not stored");
                return true;
            }
            added(file.name, stored->size());
            if (packed)
                written.addCrcToCome(name, stored->size());
            else
                written.add(name, stored->size(), stored->crc());
            const MemberSource source{stored->size(),
                                      stored->crc(),
                                      [stored](std::span<std::uint8_t> into) { return stored->read(into); },
                                      [stored] { return stored->rewind(); },
                                      !packed,
                                      [stored] { return stored->unchanged(); }};
            if (!packer.addFrom(name, stored->time(), stored->attributes(), source)) {
                fail(archive, file.path,
                     (ArchiveWriter::acceptsName(name)
                          ? "cannot read: it changed while it was stored"
                          : "cannot be stored: the name is beyond what the format holds") +
                         untouched);
                return false;
            }
            return true;
        }
        std::vector<std::uint8_t> bytes;
        std::uint32_t time = defaultMemberTime;
        MemberAttributes attributes;
        if (!readFile(file.path, bytes, time, attributes, reason)) {
            ++unreadable;
            fail(archive, file.path, reason + ", not stored");
            return true;
        }
        added(file.name, bytes.size());
        written.add(name, bytes);
        if (!packer.add(name, std::move(bytes), time, attributes)) {
            fail(archive, file.name,
                 "cannot be stored: name or size beyond what the format holds" + untouched);
            return false;
        }
        return true;
    };

    if (old) {
        bool good = true;
        std::size_t replacedBy = files.size();
        // A solid archive's members go into the packer as they are decoded, so that a member of any size
        // costs the window; where there is no packing (-m0) they are held whole, as the member's header
        // comes before it.
        bool streamed = false;
        std::vector<std::uint8_t> bytes;
        // A member of exactly the same name is replaced where it stands; new files go after the archive's
        // own.
        const MemberStreamer keep{
            [&](const MemberHeader& header) -> ByteSink {
                const std::optional<std::size_t> file = fileNamed(memberNameUtf8(header));
                replacedBy = file && !fileAdded[*file] ? *file : files.size();
                bytes.clear();
                streamed = false;
                if (!good || !options.solid || header.isFolder() || replacedBy < files.size() ||
                    header.unpSize == 0)
                    return {};
                if (options.level > 0) {
                    streamed = packer.startStreamed(storedName(header), header.unpSize, header.fileCrc,
                                                    header.fileTime, attributesOf(header));
                    if (!streamed)
                        return {};
                    return [&](std::span<const std::uint8_t> piece) { packer.addStreamed(piece); };
                }
                return [&](std::span<const std::uint8_t> piece) {
                    bytes.insert(bytes.end(), piece.begin(), piece.end());
                };
            },
            [&](const MemberHeader& header, ExtractResult) {
                if (!good)
                    return;
                if (replacedBy < files.size()) {
                    good = addFile(replacedBy);
                    return;
                }
                added(memberNameUtf8(header), header.unpSize);
                if (!options.solid)
                    good = packer.addCopied(*old, header);
                else if (streamed)
                    good = packer.finishStreamed();
                else
                    good = (header.isFolder() || header.unpSize == 0 || options.level == 0) &&
                           packer.add(storedName(header), bytes, header.fileTime, attributesOf(header));
                if (!good)
                    fail(archive, memberNameUtf8(header),
                         "cannot be copied into the new archive" + untouched);
                if (options.solid)
                    written.add(storedName(header), header.unpSize, header.fileCrc);
                else
                    written.addCopied(storedName(header), header.unpSize, header.fileCrc);
            }};
        if (const std::optional<UnreadablePart> part = readArchiveWhole(*old, keep)) {
            reportUnreadable(archive, *part, untouched);
            return exitDamaged;
        }
        if (!good)
            return exitSkipped;
    }
    for (std::size_t i = 0; i < files.size(); ++i)
        if (!fileAdded[i] && !addFile(i))
            return exitSkipped;
    packer.finish();
    progress.clear();
    if (!packer.good()) {
        fail(archive, "",
             (packer.failure().empty() ? "cannot read a file whole: it changed while it was packed"
                                       : packer.failure()) +
                 untouched);
        return exitSkipped;
    }

    // Nothing could be read and there was no archive to add to: an empty one would only look like a result.
    if (!existed && addedCount == 0) {
        fail(archive, "", "nothing could be added" + untouched);
        return exitSkipped;
    }

    // Nothing replaces the target until every member has been read back from the file as written.
    std::string member;
    if (!output->flush()) {
        fail(archive, "", output->failure() + untouched);
        return exitSkipped;
    }
    FileArchiveSource source(output->temporaryPath());
    if (!source.isOpen() || !verifyArchive(source, written, member, reason)) {
        fail(archive, member,
             (source.isOpen() ? "written wrong, " + reason : "cannot read back what was written") +
                 untouched);
        return exitDamaged;
    }
    int error = 0;
    if (!output->commit(PendingFile::Replace::yes, true, reason, error)) {
        fail(archive, "", reason + untouched);
        return exitSkipped;
    }
    // As tar does: what could be read is in the archive, and the status says that something is not.
    if (unreadable != 0) {
        fail(archive, "",
             counted(unreadable, "path") + " could not be read and " + (unreadable == 1 ? "is" : "are") +
                 " not in the archive");
        return exitSkipped;
    }
    return exitOk;
}
