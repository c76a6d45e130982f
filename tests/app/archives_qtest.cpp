// Freezing a cave and thawing the estate again through the tool bar's two buttons, with the
// real modules in DLL/ beside this program.
#include "app/Unit1.h"
#include "app/mein.h"
#include "fscomp/DirMontr.h"
#include "mein_fixture.h"
#include "platform/fileops.h"
#include "shellviews/FileView.h"

#include <QAbstractItemView>
#include <QAction>
#include <QLineEdit>
#include <QTimer>
#include <QToolButton>

#include <sys/stat.h>

#include <algorithm>

using namespace g3;
using g3test::Boxes;
using g3test::Folders;

class ArchivesTest : public QObject {
    Q_OBJECT
private slots:
    void freezeThenThawThroughTheButtons() {
        Folders f;
        Boxes boxes;
        boxes.answer = MsgResult::Yes;
        TForm1 form(boxes.services());
        form.show();
        const std::string work = f.scratch("work");
        ::mkdir(work.c_str(), 0755);
        ::mkdir((work + "/sub").c_str(), 0755);
        f.write(work + "/a.txt", "家の中身");
        f.write(work + "/sub/b.txt", "奥の家");
        QVERIFY(form.navigateTo(work));

        TPasswordDlg& dlg = form.PasswordDlg();
        QTimer::singleShot(0, &dlg, [&] {
            dlg.Password->setText(QStringLiteral("団地"));
            dlg.accept();
        });
        form.buttonOf(ToolSlot::Asyuk)->defaultAction()->trigger();
        const std::string estate = work + "/団地.7z";
        QVERIFY(pathExists(estate));

        // The estate moves to a cave of its own and is thawed beside it.
        const std::string other = f.scratch("other");
        ::mkdir(other.c_str(), 0755);
        QVERIFY(::rename(estate.c_str(), (other + "/団地.7z").c_str()) == 0);
        QVERIFY(form.navigateTo(other));
        form.treeRefresh();
        QAbstractItemView* v = form.ShellListView1()->itemView();
        const std::vector<std::string> rows = form.listRowNames();
        const auto at = std::find(rows.begin(), rows.end(), "団地.7z");
        QVERIFY(at != rows.end());
        v->selectionModel()->select(v->model()->index(int(at - rows.begin()), 0),
                                    QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        form.buttonOf(ToolSlot::Kaito)->defaultAction()->trigger();
        QVERIFY(boxes.seen.back().text.endsWith(QStringLiteral("のフォルダに解凍しますが、良いですか？")));
        QCOMPARE(f.read(other + "/団地/a.txt"), std::string("家の中身"));
        QCOMPARE(f.read(other + "/団地/sub/b.txt"), std::string("奥の家"));
        QCOMPARE(form.CurDir(), other + "/団地");
    }
};

QTEST_MAIN(ArchivesTest)
#include "archives_qtest.moc"
