// Extraction: every entry of an archive written below one destination folder, never
// anywhere else.
//
// What keeps the entries below the destination: names that are absolute or hold ".." are
// refused before anything is written; the writer refuses them too, and any write through a
// link; a link is made only when its target stays below the destination; a hard link
// only to a file this extraction wrote. Devices, FIFOs and sockets are never made;
// set-user, set-group and sticky bits are dropped; owners are not restored. An existing
// file is replaced only when the replace question says so, and then it is moved aside
// first and put back if the new one cannot be written whole. A file whose data fails
// (damaged, cancelled, disk full) is removed again, so nothing half written stands under
// an entry's name.
#pragma once

#include "archive/libs/archiverjob.h"

#include <optional>
#include <string>
#include <string_view>

struct archive_entry;

namespace g3 {

// The formats a module reads.
enum ArchiveFamily : unsigned {
    kFamilyLha = 0x1,
    kFamilyZip = 0x2,
    kFamily7z = 0x4,
    kFamilyCab = 0x8,
    kFamilyRar = 0x10, // RAR 4 and RAR 5
    kFamilyAll = 0x1f,
};

// An entry's name bytes as UTF-8: kept when they are valid UTF-8, else read as CP932.
std::string entryNameUtf8(std::string_view raw);
// An entry's name as a path below the destination, "." and empty components dropped
// ("./a//b/" gives "a/b"; "" for the destination itself). nullopt with the problem
// (Absolute, DotDot) for a name that leaves the destination.
std::optional<std::string> cleanEntryName(std::string_view name, EntryProblem& problem);
// True when a link at `name` (a clean name) whose target text is `target` points below
// the destination: the target is relative, climbs with ".." only at its start and never
// above the destination. ("x/.." after a name is refused too: x may itself be a link.)
bool linkStaysInside(std::string_view name, std::string_view target);

class ThawJob : public ArchiverJob {
public:
    // The destination is made (with its parents) when the first entry has been read. While
    // the job writes, the process's current folder is the destination (so one thaw at a
    // time per process); it is the folder it was before when the job ends.
    ThawJob(std::string archive, std::string destination, unsigned families);
    // Reads the archive from memory (kept by the caller) instead of the file.
    void setMemory(const void* data, std::size_t size);
    const std::string& destination() const { return dest_; }

protected:
    int work() override;

private:
    struct Run;
    enum class DataEnd { Done, Failed, Fatal, Cancelled };
    void thawEntry(Run& run, struct archive_entry* e);
    DataEnd copyData(Run& run, struct archive_entry* e, const std::string& name);

    std::string dest_;
    unsigned families_;
    const void* memory_ = nullptr;
    std::size_t memorySize_ = 0;
};

} // namespace g3
