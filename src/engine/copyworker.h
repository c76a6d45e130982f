// The copy and move worker: carries out a request once its kind is known, in one of three
// ways (direct run, job-list run, shell file operation), and collects per-file failures in
// the host's error list. No widgets: everything the window does for a run goes through
// CopyHost.
//
// Runs on the user-interface thread. Pending events are processed by the finder at every
// entry, by the progress calls and between the pieces of a large file, so the window keeps
// painting and its handlers run in the middle of a run. A request made while a run lasts is
// refused (copinew and copimuv2 return false).
#pragma once

#include "engine/copyhost.h"
#include "engine/opkind.h"
#include "fscomp/FindF.h"
#include "platform/transfer.h"

#include <cstdint>
#include <string>
#include <vector>

namespace g3 {

class TCopyEngine;

// Body of the direct run: each file is copied or moved the moment the walk finds it.
class TCopyMoveThread {
public:
    TCopyMoveThread(TCopyEngine& engine, const std::vector<std::string>& files, int count);
    void Execute();

private:
    TCopyEngine& engine_;
    const std::vector<std::string>& files_; // not owned
    int count_;
};

// Body of the job-list run: processes the rows of lbxMoto, lbxSaki and lbxOpe.
class TsampleThread {
public:
    explicit TsampleThread(TCopyEngine& engine) : engine_(engine) {}
    void Execute();

private:
    TCopyEngine& engine_;
};

class TCopyEngine {
public:
    // pump: the window's events during the walks and between the pieces of a large file.
    explicit TCopyEngine(CopyHost& host, Pump pump = {});

    // The kind the drop menu chose; 0 means no operation.
    int OpKind = okNone;

    // Tests: failures and kills in the middle of a copy (empty in the program).
    CopyFault copyFault;

    // Job lists of the asking kinds: row i of the three lists belongs together. Emptied at
    // the start of each kind 7 or 8 run, kept until the next one.
    std::vector<std::string> lbxMoto, lbxSaki, lbxOpe;
    int JobCount = 0;

    // The folder of the dropped item being expanded.
    std::string SrcBaseDir;

    // Same-name answer state of the run (0-5 the chosen item, 6 abort).
    int SameNameAnswer = 0;
    bool SameNameForAll = false;

    TFindFile FindCopi;     // listing phase of the job-list run
    TFindFile FindCopiFast; // direct run

    // Run entry for a dropped list: carries out OpKind into curDir, which stays the
    // destination for the whole run. False when refused (a run is in progress, or a
    // dropped folder would go into itself); nothing is touched then.
    bool copinew(const std::vector<std::string>& Files, const std::string& curDir);
    // The shell file operation on the dropped list: Kind 1 copy, 2 move, into curDir.
    void copimuv(int Kind, const std::vector<std::string>& Files, const std::string& curDir);
    // The shell file operation on the names selected in the list (in curDir), into a
    // folder the user picks. False when refused because a run is in progress.
    bool copimuv2(int Kind, const std::vector<std::string>& selectedNames,
                  const std::string& curDir);

    // One file: Mode smNewer/smOverwrite/smAsk, Op opCopy/opMove.
    void myPasFilCopyMove(const std::string& Src, const std::string& Dst, int Mode, int Op);
    // Copies one file (a link as a link) and for opMove deletes the source afterwards;
    // a failure adds one error with Label as the operation word.
    void myFileCopy(const std::string& Src, const std::string& Dst, const std::string& Label,
                    bool FailIfExists, int Op);
    // True when Path names an existing folder; the root "/" answers false (it is never
    // copied or moved as a folder).
    static bool myIsFolder(const std::string& Path);
    // Size of the entry at Path, -1 when there is none.
    static std::int64_t fnFileSizeGet(const std::string& Path);

    void FindCopiFind(TFindFile& Sender, const FindData& FindData, const std::string& CurrentDir,
                      bool& Cancel);
    void FindCopiFastFind(TFindFile& Sender, const FindData& FindData,
                          const std::string& CurrentDir, bool& Cancel);

    bool running() const { return running_; }
    // The destination of the run in progress (empty between runs).
    const std::string& runDir() const { return runDir_; }
    CopyHost& host() { return host_; }

    // Texts of the refusal of a folder into itself and of a destination that is gone.
    static std::string selfNestingText(const std::string& folder, const std::string& dest);
    static std::string missingDestinationText(const std::string& dest);
    static const char* const kProgressCaption;
    static const char* const kJobLine1;

private:
    friend class TCopyMoveThread;
    friend class TsampleThread;

    bool refuseSelfNesting(const std::vector<std::string>& files);
    void prepareWalks();
    void listJobs(const std::vector<std::string>& files);
    void addJob(const std::string& src, const std::string& dst);
    std::string mirrorOf(const std::string& currentDir, const std::string& name) const;
    bool destinationFolderReady(const std::string& folder);
    void askAndApply(const std::string& Src, const std::string& Dst, const std::string& Label,
                     int Op, std::int64_t srcAge, std::int64_t dstAge);
    void moveNew(const std::string& Src, const std::string& Dst);
    void copyOne(const std::string& Src, const std::string& Dst, const std::string& Label,
                 bool FailIfExists, int Op);
    void addError(const std::string& Src, const std::string& Dst, const std::string& Label,
                  int code);
    int runShell(unsigned func, std::vector<std::string> from, const std::string& to);
    CopyProgress betweenPieces() const;

    CopyHost& host_;
    Pump pump_;
    bool running_ = false;
    std::string runDir_;
    // Per run: the destination folders (the walks never enter them), the hard links met,
    // and the destination folder checked last.
    DestinationGuard written_;
    HardLinkMemory links_;
    std::string readyFolder_;
};

} // namespace g3
