#include "engine/copyworker.h"

#include "platform/dostime.h"
#include "platform/errors.h"
#include "platform/fileops.h"
#include "platform/paths.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>

namespace g3 {

const char* const TCopyEngine::kProgressCaption =
    "Grottan3 ファイル処理　※大容量・大量の家はかなり時間がかかります";
const char* const TCopyEngine::kJobLine1 = "建て増し/引越し処理中　しばらくお待ちください ";

namespace {

const char* const kLabelCopy = "建て増し";
const char* const kLabelMove = "引っ越し";


// The age "newer" compares: the two-second slot of the last-write time of what path
// leads to (a link's target; a dangling link's own time). entry is path's lstat.
std::int64_t ageOf(const std::string& path, const struct stat& entry) {
    struct stat st = entry;
    if (S_ISLNK(entry.st_mode)) ::stat(path.c_str(), &st);
    return dosSlotOf(st.st_mtim);
}

// True when a file or link (not a folder, also not through a link) stands at path.
bool fileStandsAt(const std::string& path, struct stat& entry) {
    if (::lstat(path.c_str(), &entry) != 0 || S_ISDIR(entry.st_mode)) return false;
    return !S_ISLNK(entry.st_mode) || !isFolder(path);
}

// Holds the run state from the start of a run to its end, also when an exception leaves.
class RunGuard {
public:
    RunGuard(bool& running, std::string& runDir, const std::string& dest, CopyHost& host)
        : running_(running), runDir_(runDir), host_(host) {
        running_ = true;
        runDir_ = dest;
        host_.runStateChanged(true);
    }
    ~RunGuard() {
        running_ = false;
        runDir_.clear();
        host_.runStateChanged(false);
    }
    RunGuard(const RunGuard&) = delete;
    RunGuard& operator=(const RunGuard&) = delete;

private:
    bool& running_;
    std::string& runDir_;
    CopyHost& host_;
};

} // namespace

// --- worker bodies -------------------------------------------------------------------

TCopyMoveThread::TCopyMoveThread(TCopyEngine& engine, const std::vector<std::string>& files,
                                 int count)
    : engine_(engine), files_(files), count_(count) {}

void TCopyMoveThread::Execute() {
    auto& e = engine_;
    e.host_.openProgress(false, TCopyEngine::kProgressCaption, 1, 0);
    KindPolicy p = policyOfKind(e.OpKind);
    for (int i = 0; i < count_; ++i) {
        const std::string& path = files_[static_cast<size_t>(i)];
        e.SrcBaseDir = parentFolder(path);
        if (TCopyEngine::myIsFolder(path)) {
            e.FindCopiFast.setBaseDir(path);
            e.FindCopiFast.Run();
        } else {
            e.myPasFilCopyMove(path, joinPath(e.runDir_, namePart(path)), p.mode, p.op);
        }
    }
    e.host_.closeProgress();
}

void TsampleThread::Execute() {
    auto& e = engine_;
    e.host_.openProgress(false, TCopyEngine::kProgressCaption, 1, 0);
    for (int i = 0; i < e.JobCount; ++i) {
        const auto row = static_cast<size_t>(i);
        const std::string& src = e.lbxMoto[row];
        const std::string& dst = e.lbxSaki[row];
        e.OpKind = std::atoi(e.lbxOpe[row].c_str());
        bool RunStopped = !e.host_.updateProgress(false, TCopyEngine::kJobLine1, parentFolder(dst),
                                                  namePart(dst));
        if (RunStopped) break;
        e.myPasFilCopyMove(src, dst, smAsk, e.OpKind == okAskCopy ? opCopy : opMove);
    }
    e.host_.closeProgress();
}

// --- the engine ----------------------------------------------------------------------

TCopyEngine::TCopyEngine(CopyHost& host, Pump pump) : host_(host), pump_(std::move(pump)) {
    // No conditions: every entry reaches the handlers, which skip the real folders
    // themselves. A size condition would compare only the low 32 bits of a size and lose
    // large files; an attribute condition on the directory bit would lose links to folders,
    // which are copied as links.
    for (TFindFile* f : {&FindCopi, &FindCopiFast}) {
        f->Conditions = {};
        f->AttrDirectory = false;
        f->setSearchSubDir(true);
        f->FileMask = "*.*";
        f->DirMask = "*.*";
        f->MessagePump = pump_;
    }
    FindCopi.OnFind = [this](TFindFile& s, const FindData& d, const std::string& dir, bool& c) {
        FindCopiFind(s, d, dir, c);
    };
    FindCopiFast.OnFind = [this](TFindFile& s, const FindData& d, const std::string& dir, bool& c) {
        FindCopiFastFind(s, d, dir, c);
    };
}

std::string TCopyEngine::selfNestingText(const std::string& folder, const std::string& dest) {
    return "洞窟「" + folder + "」を、その洞窟自身やその中の洞窟「" + dest +
           "」へ建て増し・引っ越しすることはできません。";
}

std::string TCopyEngine::missingDestinationText(const std::string& dest) {
    return "建て増し・引っ越し先の洞窟「" + dest + "」が見つかりません。";
}

// A dropped folder that contains the destination would meet its own copies during the
// walk; such a request is refused before any file is touched. The root contains every
// folder.
bool TCopyEngine::refuseSelfNesting(const std::vector<std::string>& files) {
    for (const auto& path : files) {
        if (entryKindOf(path) == EntryKind::Folder && isSameFolderOrInside(runDir_, path)) {
            host_.showRefusal(selfNestingText(path, runDir_));
            return true;
        }
    }
    return false;
}

// The walks of a run report every folder they cannot read and never enter a folder the
// run writes into, however they reach it.
void TCopyEngine::prepareWalks() {
    written_.clear();
    written_.add(runDir_);
    links_ = HardLinkMemory();
    readyFolder_.clear();
    for (TFindFile* f : {&FindCopi, &FindCopiFast}) {
        f->OnFolderError = [this](TFindFile&, const std::string& folder, int code) {
            const char* label = policyOfKind(OpKind).op == opCopy ? kLabelCopy : kLabelMove;
            addError(folder, mirrorOf(folder, {}), label, code);
        };
        f->OnEnterFolder = [this](TFindFile& s, const std::string& folder) {
            if (written_.admits(folder)) return true;
            s.OnFolderError(s, folder, EINVAL);
            return false;
        };
    }
}

bool TCopyEngine::copinew(const std::vector<std::string>& Files, const std::string& curDir) {
    if (running_) return false;
    host_.clearErrors();
    SameNameForAll = false;
    SameNameAnswer = 0;
    host_.prepareSameName();
    if (Files.empty()) return true;
    // Paths from outside are taken as what they name: "/a/b/.." is "/a".
    std::vector<std::string> files;
    files.reserve(Files.size());
    for (const auto& f : Files)
        files.push_back(lexicallyNormal(f));
    // The destination is the folder the user chose; a run never makes it anew.
    if (!isFolder(curDir)) {
        host_.showRefusal(missingDestinationText(curDir));
        return false;
    }
    RunGuard guard(running_, runDir_, currentFolderForm(curDir), host_);
    KindPolicy p = policyOfKind(OpKind);
    if ((p.run == RunKind::Direct || p.run == RunKind::JobList) && refuseSelfNesting(files))
        return false;
    prepareWalks();
    host_.setMonitorActive(false);
    if (p.run == RunKind::Shell) {
        copimuv(p.op, files, curDir);
    } else if (p.run == RunKind::Direct) {
        TCopyMoveThread worker(*this, files, static_cast<int>(files.size()));
        worker.Execute();
    } else if (p.run == RunKind::JobList) {
        listJobs(files);
        TsampleThread worker(*this);
        worker.Execute();
    }
    host_.setMonitorActive(true);
    host_.refreshTree();
    if (host_.errorCount() > 0) host_.offerErrorReport();
    return true;
}

void TCopyEngine::listJobs(const std::vector<std::string>& files) {
    JobCount = 0;
    lbxMoto.clear();
    lbxSaki.clear();
    lbxOpe.clear();
    for (const auto& path : files) {
        SrcBaseDir = parentFolder(path);
        if (myIsFolder(path)) {
            FindCopi.setBaseDir(path);
            FindCopi.Run();
        } else {
            addJob(path, joinPath(runDir_, namePart(path)));
        }
    }
}

void TCopyEngine::addJob(const std::string& src, const std::string& dst) {
    lbxMoto.push_back(src);
    lbxSaki.push_back(dst);
    lbxOpe.push_back(std::to_string(OpKind));
    ++JobCount;
}

// The file's place below the destination: its path relative to SrcBaseDir, so a dropped
// folder is reproduced as itself with its inner structure.
std::string TCopyEngine::mirrorOf(const std::string& currentDir, const std::string& name) const {
    std::string src = joinPath(currentDir, name);
    return joinPath(runDir_, relativePath(src, SrcBaseDir));
}

void TCopyEngine::FindCopiFind(TFindFile&, const FindData& FindData, const std::string& CurrentDir,
                               bool&) {
    if (FindData.isDirectory() && !(FindData.attributes & faLink)) return;
    addJob(joinPath(CurrentDir, FindData.name), mirrorOf(CurrentDir, FindData.name));
}

void TCopyEngine::FindCopiFastFind(TFindFile&, const FindData& FindData,
                                   const std::string& CurrentDir, bool&) {
    if (FindData.isDirectory() && !(FindData.attributes & faLink)) return;
    KindPolicy p = policyOfKind(OpKind);
    myPasFilCopyMove(joinPath(CurrentDir, FindData.name), mirrorOf(CurrentDir, FindData.name),
                     p.mode, p.op);
}

void TCopyEngine::addError(const std::string& Src, const std::string& Dst, const std::string& Label,
                           int code) {
    host_.addErrorMessage(Src + " から", Dst + " への" + Label + "で、", code);
}

void TCopyEngine::myPasFilCopyMove(const std::string& Src, const std::string& Dst, int Mode,
                                   int Op) {
    const std::string Label = Op == opCopy ? kLabelCopy : kLabelMove;
    // Only files and links are copied or moved; a folder or a special file (FIFO, device,
    // socket) is reported, and no destination folder is made for it.
    struct stat srcSt {};
    EntryKind kind = entryKindOf(Src, srcSt);
    if (kind != EntryKind::File && kind != EntryKind::Link) {
        int code = kind == EntryKind::Missing  ? lastError()
                   : kind == EntryKind::Folder ? EISDIR
                                               : ENOTSUP;
        addError(Src, Dst, Label, code);
        return;
    }
    if (!destinationFolderReady(parentFolder(Dst))) {
        addError(Src, Dst, Label, lastError());
        return;
    }
    // Every file at Dst is a same-name case, whatever its time (before 1980, after 2107).
    struct stat dstSt {};
    if (fileStandsAt(Dst, dstSt)) {
        std::int64_t srcAge = ageOf(Src, srcSt), dstAge = ageOf(Dst, dstSt);
        if (Mode == smOverwrite || (Mode == smNewer && srcAge > dstAge))
            copyOne(Src, Dst, Label, false, Op);
        else if (Mode == smAsk)
            askAndApply(Src, Dst, Label, Op, srcAge, dstAge);
        return;
    }
    if (Op == opCopy)
        copyOne(Src, Dst, Label, false, opCopy);
    else
        moveNew(Src, Dst);
}

// The folder a file goes to: made below the run's destination when missing, never through
// a link, and from then on out of bounds for the walks.
bool TCopyEngine::destinationFolderReady(const std::string& folder) {
    if (folder == readyFolder_) return true;
    if (!makeFoldersBelow(runDir_, folder)) return false;
    written_.add(folder);
    readyFolder_ = folder;
    return true;
}

void TCopyEngine::askAndApply(const std::string& Src, const std::string& Dst,
                              const std::string& Label, int Op, std::int64_t srcAge,
                              std::int64_t dstAge) {
    if (!SameNameForAll)
        SameNameAnswer = host_.askSameName(Label, Dst, fnFileSizeGet(Src), fnFileSizeGet(Dst),
                                           formatDosSlot(srcAge), formatDosSlot(dstAge));
    switch (SameNameAnswer) {
    case 0:
        if (srcAge > dstAge) copyOne(Src, Dst, Label, false, Op);
        break;
    case 1:
        copyOne(Src, Dst, Label, false, Op);
        break;
    case 3:
        if (srcAge > dstAge) copyOne(Src, Dst, Label, false, Op);
        SameNameForAll = true;
        break;
    case 4:
        copyOne(Src, Dst, Label, false, Op);
        SameNameForAll = true;
        break;
    case 5:
    case 6:
        SameNameForAll = true;
        break;
    default:
        break;
    }
}

void TCopyEngine::moveNew(const std::string& Src, const std::string& Dst) {
    TransferOptions o;
    o.progress = betweenPieces();
    o.links = &links_;
    o.fault = copyFault;
    if (!moveEntry(Src, Dst, o)) addError(Src, Dst, kLabelMove, lastError());
}

void TCopyEngine::myFileCopy(const std::string& Src, const std::string& Dst,
                             const std::string& Label, bool FailIfExists, int Op) {
    copyOne(Src, Dst, Label, FailIfExists, Op);
}

// The source of a move goes only after its copy succeeded; a failed delete leaves it.
void TCopyEngine::copyOne(const std::string& Src, const std::string& Dst, const std::string& Label,
                          bool FailIfExists, int Op) {
    try {
        TransferOptions o;
        o.replace = !FailIfExists;
        o.keepOwner = Op == opMove;
        o.progress = betweenPieces();
        o.links = &links_;
        o.fault = copyFault;
        if (!copyEntry(Src, Dst, o)) {
            addError(Src, Dst, Label, lastError());
            return;
        }
        if (Op == opMove) deleteFile(Src);
    } catch (...) {
    }
}

// Between the pieces of one large file the window gets its events; a direct run cannot be
// interrupted, so the piece callback never cancels.
CopyProgress TCopyEngine::betweenPieces() const {
    return [this](std::uint64_t, std::uint64_t) {
        if (pump_) pump_();
        return true;
    };
}

// A dropped link to a folder is not a folder here: it is taken as the link itself, as
// links inside a dropped folder are. Walking it would copy or move the files it points to.
bool TCopyEngine::myIsFolder(const std::string& Path) {
    if (Path.empty() || Path == "/") return false;
    return entryKindOf(Path) == EntryKind::Folder;
}

std::int64_t TCopyEngine::fnFileSizeGet(const std::string& Path) {
    return fileSizeOf(Path);
}

int TCopyEngine::runShell(unsigned func, std::vector<std::string> from, const std::string& to) {
    ShellFileOpRequest req;
    req.func = func;
    req.from = std::move(from);
    req.to = to;
    req.flags = FOF_ALLOWUNDO;
    ShellFileOperation op(std::move(req));
    op.setCopyFault(copyFault);
    return host_.runShellOperation(op);
}

void TCopyEngine::copimuv(int Kind, const std::vector<std::string>& Files,
                          const std::string& curDir) {
    if (Files.empty()) return;
    host_.setMonitorActive(false);
    runShell(Kind == opCopy ? FO_COPY : FO_MOVE, Files, curDir);
    host_.setMonitorActive(true);
    host_.refreshTree();
}

bool TCopyEngine::copimuv2(int Kind, const std::vector<std::string>& selectedNames,
                           const std::string& curDir) {
    if (running_) return false;
    if (selectedNames.empty()) return true;
    std::vector<std::string> from;
    for (const auto& n : selectedNames)
        from.push_back(joinPath(curDir, n));
    std::string title = Kind == opCopy ? "建て増し先の洞窟指定" : "引っ越し先の洞窟指定";
    std::string folder;
    if (!host_.chooseFolder(title, folder) || folder.empty()) return true;
    RunGuard guard(running_, runDir_, folder, host_);
    host_.setMonitorActive(false);
    runShell(Kind == opCopy ? FO_COPY : FO_MOVE, std::move(from), folder);
    host_.setMonitorActive(true);
    host_.refreshTree();
    return true;
}

} // namespace g3
