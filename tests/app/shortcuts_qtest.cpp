// Making a short cut path: the dialog and its proposals, the two warnings and the dialog
// again, the place's trailing "/", the browse buttons, a save that fails, and the link
// that is written.
#include "app/FldrDlg.h"
#include "app/dialogscript.h"
#include "support/fakewindow.h"
#include "app/filecommands.h"
#include "app/nyuryok.h"
#include "app/shortcuts.h"
#include "app/tikamiti.h"
#include "platform/errors.h"
#include "platform/shelllink.h"
#include "support/tempdir.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

#include <cerrno>

using namespace g3;
using namespace g3test;

namespace {

QString q(const std::string& s) { return QString::fromStdString(s); }

void ok(TdlgTikamiti* d) { QTest::mouseClick(d->OKBtn, Qt::LeftButton); }

// The window, the controller and its dialog, with report.doc selected in work/.
struct Fixture {
    TempDir t;
    FakeWindow w;
    ShortcutController c{w, w, nullptr};
    TdlgTikamiti* d = c.dlgTikamiti();
    Fixture() {
        t.write("work/report.doc", "doc");
        w.curDir = t / "work";
        w.selection = {"report.doc"};
    }
};

} // namespace

class ShortcutsTest : public QObject {
    Q_OBJECT
private slots:
    // Its controls stay inside the fixed client area; with G3_SHOTS set, its picture.
    void theDialog() {
        Fixture f;
        QCOMPARE(f.w.placed[ToolSlot::shotokato]->objectName(), QStringLiteral("tbtnshotokato"));
        QCOMPARE(f.d->size(), QSize(369, 164));
        for (QWidget* child : f.d->findChildren<QWidget*>())
            QVERIFY2(QRect(QPoint(), f.d->size()).contains(child->geometry()), qPrintable(child->objectName()));
        if (!qEnvironmentVariableIsSet("G3_SHOTS")) return;
        DialogScript s(f.d, {[&f] {
            f.d->grab().save(QStringLiteral("/tmp/shots/tikamiti.png"));
            f.d->reject();
        }});
        f.c.tbtnshotokatoClick();
    }

    // report.doc in work/: the proposals, and the link with its working folder.
    void theProposalsMakeTheLinkBesideTheHouse() {
        Fixture f;
        TdlgTikamiti* d = f.d;
        QStringList shown;
        DialogScript s(d, {[&] {
            shown = {d->lblFailu->text(), d->edNamae->text(), d->edsagyoBasyo->text(), d->edOkubasyo->text()};
            ok(d);
        }});
        f.w.placed[ToolSlot::shotokato]->trigger();
        const std::string work = f.t / "work";
        QCOMPARE(shown, (QStringList{"report.doc", "report.docへの近道", q(work), q(work)}));
        QVERIFY(f.w.doubles.seen.empty());
        const auto link = readShortcut(work + "/report.docへの近道.lnk");
        QVERIFY(link);
        QCOMPARE(q(link->path), q(work + "/report.doc"));
        QCOMPARE(q(link->workingDir), q(work));
    }

    // A house of the link's name is replaced only after a yes; no leaves it as it was.
    void anExistingHouseIsReplacedOnlyWhenAnswered() {
        Fixture f;
        const std::string link = f.t.write("work/report.docへの近道.lnk", "mine");
        for (const MsgResult answer : {MsgResult::No, MsgResult::Yes}) {
            f.w.doubles.answer = answer;
            f.w.doubles.seen.clear();
            DialogScript s(f.d, {[&] { ok(f.d); }});
            f.c.tbtnshotokatoClick();
            QCOMPARE(f.w.doubles.seen.size(), std::size_t(1));
            QCOMPARE(f.w.doubles.seen.front().text, q(link) + "\r\nが既に有ります。上書きしますか？");
            QCOMPARE(readFile(link) == "mine", answer == MsgResult::No);
        }
        QVERIFY(readShortcut(link));
    }

    // Both warnings in turn, then the dialog again with what was typed. The place then
    // typed with a trailing "/" loses it, and a save that fails says why, naming the link.
    void warningsThenTheDialogAgainAndAFailedSave() {
        Fixture f;
        TdlgTikamiti* d = f.d;
        const std::string links = f.t.mkdir("links"), missing = f.t / "nowhere";
        QStringList kept;
        DialogScript s(d, {[&] {
                               d->edNamae->clear();
                               d->edOkubasyo->setText(q(missing));
                               ok(d);
                           },
                           [&] {
                               kept = {d->edNamae->text(), d->edOkubasyo->text()};
                               d->edNamae->setText(QStringLiteral("sub/x"));
                               d->edOkubasyo->setText(q(links + "/"));
                               ok(d);
                           }});
        f.c.tbtnshotokatoClick();
        QCOMPARE(kept, (QStringList{"", q(missing)}));
        QStringList boxes;
        for (const MessageRequest& r : f.w.doubles.seen) {
            QCOMPARE(r.caption, QStringLiteral("Grottan2 近道(ショートカット)の作成でのお知らせ"));
            QCOMPARE(r.kind, MsgKind::Warning);
            boxes << r.text;
        }
        QCOMPARE(boxes, (QStringList{"近道(ショートカット)の名前を入力してね",
                                     "ショートカットを置くディレクトリ\r\n\r\n" + q(missing) +
                                         " が無いかもしれないよ\r\n\r\nもう一度「近道の場所」を入力してね",
                                     "ショートカットの作成 " + q(f.t / "work/report.doc") + " で\r\nディスクにセーブする " +
                                         q(links + "/sub/x.lnk") + " ときに\r\n" + q(systemErrorText(ENOENT))}));
    }

    // Each button browses from its field's folder under its own title; cancel keeps the field.
    void theBrowseButtons() {
        Fixture f;
        TdlgTikamiti* d = f.d;
        const std::string other = f.t.mkdir("other \xff");
        TFolderDialog* browse = f.c.dlgNyuryok()->FolderDialog1;
        QStringList titles;
        auto answer = [&](bool choose) {
            QTimer::singleShot(0, d, [&, choose] {
                TFolderBrowser* b = browse->browser();
                QVERIFY(b);
                titles << b->titleLabel->text();
                if (choose) {
                    QVERIFY(b->selectPath(other));
                    b->okButton->click();
                } else {
                    b->cancelButton->click();
                }
            });
        };
        QString place;
        DialogScript s(d, {[&] {
            answer(true);
            d->bbtnSagyo->click();
            answer(false);
            d->bbtnTikaOku->click();
            place = d->edOkubasyo->text();
            ok(d);
        }});
        f.c.tbtnshotokatoClick();
        QCOMPARE(titles, (QStringList{"Grottan2  ショートカットの作業フォルダ選択", "Grottan2  ショートカットを置くフォルダ選択"}));
        QCOMPARE(place, q(f.t / "work"));
        const auto link = readShortcut(f.t / "work/report.docへの近道.lnk");
        QVERIFY(link);
        QCOMPARE(link->workingDir, other); // the bytes that are not UTF-8 too
    }

    // Enter on a shortcut in the list: one to a folder enters it, one to a file goes to
    // the opener (which opens what it leads to).
    void enterOnShortcuts() {
        Fixture f;
        FileCommandsController commands(f.w, f.w, nullptr);
        const std::string away = f.t.mkdir("away"), work = f.t / "work";
        QCOMPARE(writeShellLink(work + "/to away.lnk", away, ""), 0);
        QCOMPARE(writeShellLink(work + "/doc.lnk", work + "/report.doc", ""), 0);
        f.w.selection = {"to away.lnk"};
        commands.ShellListView1KeyDown(Qt::Key_Return, {});
        QCOMPARE(q(f.w.curDir), q(away));
        f.w.curDir = work;
        f.w.selection = {"doc.lnk"};
        commands.ShellListView1KeyDown(Qt::Key_Return, {});
        QCOMPARE(f.w.doubles.opened.size(), std::size_t(1));
        QCOMPARE(q(f.w.doubles.opened[0].first), q(work + "/doc.lnk"));
    }

    void nothingWithoutExactlyOneItem() {
        Fixture f;
        f.t.write("work/b.doc", "");
        DialogScript s(f.d, {});
        using Names = std::vector<std::string>;
        for (const Names& selection : {Names{}, Names{"report.doc", "b.doc"}}) {
            f.w.selection = selection;
            f.c.tbtnshotokatoClick();
        }
        QCOMPARE(s.shown(), 0);
    }
};

QTEST_MAIN(ShortcutsTest)
#include "shortcuts_qtest.moc"
