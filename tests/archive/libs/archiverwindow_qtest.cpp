// The modules' windows: the progress window over a job on its worker thread, its cancel
// button, the replace question and the error report, and how they look.
#include "archive/archiverapi.h"
#include "archive/libs/archiverwindow.h"
#include "ui/msgbox.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include <atomic>
#include <condition_variable>
#include <mutex>

using namespace g3;

namespace {

// A job whose work the test steers: it reports an entry, asks the replace question when
// told to, adds the given errors and waits until released or cancelled.
class ScriptedJob : public ArchiverJob {
public:
    explicit ScriptedJob(Kind kind = Kind::Thaw) : ArchiverJob(kind, "/dl/写真.zip") {}

    bool ask = false;
    ReplaceAnswer answer = ReplaceAnswer::No;
    std::vector<EntryError> toReport;
    std::atomic<bool> working{false};

    void release() {
        std::lock_guard lock(m_);
        released_ = true;
        cv_.notify_all();
    }

protected:
    int work() override {
        setCurrent("sub/夏.jpg");
        bytesTotal_.store(4096000);
        bytesDone_.store(1024000);
        entriesDone_.store(12);
        if (ask) answer = askReplace({"/dl/写真/sub/夏.jpg", 100, 200, "2024/01/02 03:04:05", ""});
        for (const auto& e : toReport)
            addError(e.name, e.problem, e.code);
        working = true;
        std::unique_lock lock(m_);
        while (!released_ && !cancelled())
            cv_.wait_for(lock, std::chrono::milliseconds(5));
        return kArchiverOk;
    }

private:
    std::mutex m_;
    std::condition_variable cv_;
    bool released_ = false;
};

// Saves a picture of the window when G3_SHOT_DIR names a folder (the pictures of the
// project's screenshots); otherwise only checks that it draws.
void picture(QWidget* w, const char* name) {
    const QPixmap p = w->grab();
    QVERIFY(!p.isNull());
    const QByteArray dir = qgetenv("G3_SHOT_DIR");
    if (!dir.isEmpty()) QVERIFY(p.save(QString::fromUtf8(dir) + "/" + name));
}

// Runs f on the first modal message box that comes up, from the event loop.
// Boxes answered by the test: each request goes to answer, which may be changed between
// boxes; none is shown.
struct AnsweringBoxes : MessageBoxes {
    std::function<MsgResult(const MessageRequest&)> answer = [](const MessageRequest&) { return MsgResult::OK; };
    MsgResult show(const MessageRequest& r, QWidget*) override { return answer(r); }
};

void onNextMessageBox(std::function<void(QMessageBox*)> f) {
    auto* timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, [timer, f] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            f(box);
        }
    });
    timer->start(5);
}

} // namespace

class ArchiverWindowTest : public QObject {
    Q_OBJECT
private slots:
    void showsTheJobAndClosesWhenItEnds() {
        AnsweringBoxes boxes;
        ScriptedJob job;
        TArchiverProgressDlg dlg(job, boxes, nullptr);
        QTimer::singleShot(0, [&] {
            QTRY_VERIFY(job.working.load());
            dlg.refresh();
            QCOMPARE(dlg.windowTitle(), QString::fromUtf8("冷凍団地を解凍しています"));
            QVERIFY(dlg.lblArchive->text().contains(QString::fromUtf8("写真.zip")));
            QVERIFY(dlg.lblEntry->text().contains(QString::fromUtf8("sub/夏.jpg")));
            QCOMPARE(dlg.bar->value(), 250);
            picture(&dlg, "archiver_progress.png");
            job.release();
        });
        QCOMPARE(dlg.execute(), int(kArchiverOk));
        QVERIFY(!dlg.isVisible());
    }

    void cancelStopsTheJobAndTheWindowWaitsForIt() {
        AnsweringBoxes boxes;
        ScriptedJob job;
        TArchiverProgressDlg dlg(job, boxes, nullptr);
        QTimer::singleShot(0, [&] {
            QTRY_VERIFY(job.working.load());
            dlg.btnCancel->click();
            QVERIFY(!dlg.btnCancel->isEnabled());
        });
        QCOMPARE(dlg.execute(), int(kArchiverCancelled));
        QVERIFY(job.cancelled());
    }

    void theReplaceQuestionIsAskedOverTheWindow() {
        const struct {
            MsgResult button;
            ReplaceAnswer answer;
        } cases[] = {{MsgResult::Yes, ReplaceAnswer::Yes},
                     {MsgResult::YesToAll, ReplaceAnswer::YesToAll},
                     {MsgResult::No, ReplaceAnswer::No},
                     {MsgResult::Cancel, ReplaceAnswer::Cancel}};
        for (const auto& c : cases) {
            ScriptedJob job;
            job.ask = true;
            MessageRequest seen;
            AnsweringBoxes boxes;
            boxes.answer = [&](const MessageRequest& r) {
                seen = r;
                job.release();
                return c.button;
            };
            TArchiverProgressDlg dlg(job, boxes, nullptr);
            dlg.execute();
            QCOMPARE(job.answer, c.answer);
            QCOMPARE(seen.caption, QString::fromUtf8("家の置き換えの確認"));
            QCOMPARE(seen.buttons, MsgButtons(mbYes | mbYesToAll | mbNo | mbCancel));
            QVERIFY(seen.text.startsWith(
                QString::fromUtf8("洞窟「/dl/写真/sub」には既に「夏.jpg」という家があります。")));
        }
    }

    void theReportListsEachHouseAndWhy() {
        AnsweringBoxes boxes;
        ScriptedJob job;
        job.toReport = {{"../../etc/passwd", EntryProblem::DotDot, 0, {}},
                        {"secret.txt", EntryProblem::Encrypted, 0, {}},
                        {"big.iso", EntryProblem::System, ENOSPC, {}}};
        QTimer::singleShot(0, [&] { job.release(); });
        TArchiverProgressDlg(job, boxes, nullptr).execute();
        MessageRequest seen;
        boxes.answer = [&](const MessageRequest& r) {
            seen = r;
            return MsgResult::OK;
        };
        showArchiverReport(nullptr, boxes, job);
        QCOMPARE(seen.caption, QString::fromUtf8("解凍のエラー"));
        QCOMPARE(seen.kind, MsgKind::Error);
        const QStringList lines = seen.text.split('\n');
        QCOMPARE(lines.size(), 4);
        QCOMPARE(lines[0],
                 QString::fromUtf8(
                     "冷凍団地「写真.zip」を解凍しましたが、次の家は解凍できませんでした。"));
        QVERIFY(lines[1].startsWith(QString::fromUtf8("「../../etc/passwd」: ")));
        QVERIFY(lines[2].contains(QString::fromUtf8("鍵のかかった家")));
        QVERIFY(lines[3].startsWith(QString::fromUtf8("「big.iso」: ")));
        // A job without errors shows nothing.
        ScriptedJob quiet;
        QTimer::singleShot(0, [&] { quiet.release(); });
        TArchiverProgressDlg(quiet, boxes, nullptr).execute();
        seen = {};
        showArchiverReport(nullptr, boxes, quiet);
        QVERIFY(seen.text.isEmpty());
    }

    // The question and the report as the user sees them.
    void picturesOfTheQuestionAndTheReport() {
        ScreenMessageBoxes boxes;
        ScriptedJob job;
        job.ask = true;
        job.toReport = {{"../../etc/passwd", EntryProblem::DotDot, 0, {}},
                        {"link", EntryProblem::LinkOutside, 0, {}},
                        {"secret.txt", EntryProblem::Encrypted, 0, {}}};
        onNextMessageBox([&](QMessageBox* box) {
            picture(box, "archiver_question.png");
            job.release();
            box->buttons().first()->click();
        });
        TArchiverProgressDlg(job, boxes, nullptr).execute();
        onNextMessageBox([](QMessageBox* box) {
            picture(box, "archiver_report.png");
            box->buttons().first()->click();
        });
        showArchiverReport(nullptr, boxes, job);
    }
};

QTEST_MAIN(ArchiverWindowTest)
#include "archiverwindow_qtest.moc"
