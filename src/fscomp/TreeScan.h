// The tree scanner: walks a folder tree depth first and reports every folder and every file
// that matches one of its masks through events, on the calling (user-interface) thread.
//
// Order of the events: OnDirectoryFound for a folder, OnFileFound for each of its matching
// files in name order, then its subfolders the same way in name order, then
// OnDirectoryDone for the folder; OnSearchDone when the scan has ended. Names are ordered
// without regard to ASCII case (names equal but for case by their bytes).
//
// The message pump runs once before every folder, so the owner's handlers (a stop button,
// a second click on it, closing the window) run in the middle of a scan.
//
// Lifetime: a scanner lives on the heap and is freed with Release(), never with delete (the
// destructor is protected), best through TTreeScannerPtr. Release() during a scan, also
// from a handler run by the pump or by an event, stops the scan, silences every event and
// the pump hook at once, and frees the scanner when Search returns; the owner may be gone
// by then.
#pragma once

#include "platform/pump.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace g3 {

class TTreeScanner {
public:
    using NotifyEvent = std::function<void(TTreeScanner& Sender)>;

    TTreeScanner() = default;
    TTreeScanner(const TTreeScanner&) = delete;
    TTreeScanner& operator=(const TTreeScanner&) = delete;

    // Frees the scanner now when it is idle, else as described above.
    void Release();

    // Start folder. Search normalises it and writes it back: an empty value becomes the
    // current folder, and it ends in exactly one "/" ("/" stays "/").
    const std::string& InitialDirectory() const { return initialDirectory_; }
    void setInitialDirectory(std::string value) { initialDirectory_ = std::move(value); }

    // The mask list, kept sorted without regard to case; a mask equal to one present but
    // for case is dropped, and so is an empty one. Both setters do nothing during a scan.
    // FileMask reads the first mask of the list (empty for an empty list) and replaces the
    // list by one mask; FileMaskCommaText reads and writes the list as comma text (entries
    // separated by commas or blanks, double quotes around entries that hold either).
    std::string FileMask() const;
    void setFileMask(const std::string& value);
    std::string FileMaskCommaText() const;
    void setFileMaskCommaText(const std::string& value);
    const std::vector<std::string>& Masks() const { return masks_; }

    // Descend into subfolders (true), report hidden files, descend into hidden folders.
    // Folders reached through a link and pseudo file systems are never entered.
    bool Recursive = true;
    bool FindHiddenFiles = false;
    bool FindHiddenFolders = false;

    // The path last reported: a folder with a trailing "/" in OnDirectoryFound, a file in
    // OnFileFound.
    const std::string& FileFound() const { return fileFound_; }
    // Size of the file reported by OnFileFound: its low 32 bits (FileSize) and in full
    // (FileSize64); 0 outside file reports.
    std::uint32_t FileSize() const { return static_cast<std::uint32_t>(fileSize_); }
    std::uint64_t FileSize64() const { return fileSize_; }

    bool SearchInProgress() const { return searchInProgress_; }
    // Set true when a scan starts; the owner sets it false to stop the scan at the next
    // folder (the folders on the current path still get their OnDirectoryDone).
    bool ContinueSearch = false;

    NotifyEvent OnDirectoryFound;
    NotifyEvent OnDirectoryDone;
    NotifyEvent OnFileFound;
    NotifyEvent OnSearchDone;

    // Called before every folder: the owner's event pump (none: the scan does not pump).
    Pump MessagePump;

    // Runs a whole scan and returns when it is finished or stopped. Called while a scan
    // is running (from a handler) it returns at once and changes nothing.
    void Search();

protected:
    virtual ~TTreeScanner() = default;

private:
    struct Found {
        std::string path;
        std::uint64_t size;
    };
    struct Listing {
        std::vector<Found> files;
        std::vector<std::string> subdirs;
    };

    void ScanDirectory(const std::string& dir);
    Listing listDirectory(const std::string& dir) const;
    bool matchesAnyMask(const std::string& name) const;
    void pump();
    void fire(const NotifyEvent& event);
    void runSearch();
    void leaveSearch();

    std::string initialDirectory_;
    std::vector<std::string> masks_;
    std::string fileFound_;
    std::uint64_t fileSize_ = 0;
    bool searchInProgress_ = false;
    bool releasePending_ = false;
    int activeSearches_ = 0; // Search calls on the stack
};

struct TTreeScannerRelease {
    void operator()(TTreeScanner* s) const { s->Release(); }
};
using TTreeScannerPtr = std::unique_ptr<TTreeScanner, TTreeScannerRelease>;

inline TTreeScannerPtr makeTreeScanner() { return TTreeScannerPtr(new TTreeScanner); }

} // namespace g3
