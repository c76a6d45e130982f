// The same-name dialog as the asking runs show it: layout and texts, the answers and
// what they do to the rest of the run and to the next showing.
#include "engine/Unit3.h"
#include "engine/copyworker.h"
#include "scripted_host.h"
#include "support/tempdir.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

#include <deque>
#include <functional>

using namespace g3;
using namespace g3test;

namespace {

// What a showing saw when it opened, and how the test answers it.
struct Showing {
    int preselected = -1;
    QString question, folder, name, srcSize, srcTime, dstSize, dstTime;
};
using Action = std::function<void(TForm3&)>;

Action choose(int item) {
    return [item](TForm3& f) {
        f.radioItem(item)->click();
        f.BitBtn1->click();
    };
}
const Action abortRun = [](TForm3& f) { f.BitBtn2->click(); };
const Action closeBox = [](TForm3& f) { f.close(); };

// The main window's part: the same-name questions go to the real dialog.
class DialogHost : public ScriptedHost {
public:
    TForm3& form;
    std::deque<Action> actions;
    std::vector<Showing> showings;

    explicit DialogHost(TForm3& f) : form(f) {}
    void prepareSameName() override {
        ScriptedHost::prepareSameName();
        form.prepareRun();
    }
    int askSameName(const std::string& label, const std::string& dst, std::int64_t srcSize,
                    std::int64_t dstSize, const std::string& srcTime,
                    const std::string& dstTime) override {
        Action act = actions.empty() ? abortRun : actions.front();
        if (!actions.empty()) actions.pop_front();
        QTimer::singleShot(0, &form, [this, act] {
            QVERIFY(form.isVisible() && form.isModal());
            showings.push_back({form.ItemIndex(), form.Label1->text(), form.Edit1->text(),
                                form.Edit2->text(), form.Label3->text(), form.Label4->text(),
                                form.Label5->text(), form.Label6->text()});
            act(form);
        });
        return form.domeiKakunin(label, dst, srcSize, dstSize, srcTime, dstTime);
    }
};

} // namespace

class SameNameDialogTest : public QObject {
    Q_OBJECT
    std::unique_ptr<TempDir> t;
    std::unique_ptr<TForm3> form;
    std::unique_ptr<DialogHost> host;
    std::unique_ptr<TCopyEngine> engine;
    std::string dst;
    std::int64_t oldTime = 0, newTime = 0;

    // Three same-name files x1..x3, newer at the source, and y without a clash.
    std::vector<std::string> makeClashes() {
        std::vector<std::string> files;
        for (const char* n : {"x1", "x2", "x3"}) {
            files.push_back(t->write(std::string("src/") + n, "new"));
            setMtime(files.back(), newTime);
            setMtime(t->write(std::string("dst/") + n, "old"), oldTime);
        }
        files.push_back(t->write("src/y", "y"));
        return files;
    }
    bool drop(const std::vector<std::string>& files) {
        engine->OpKind = okAskCopy;
        return engine->copinew(files, dst);
    }

private slots:
    void init() {
        t = std::make_unique<TempDir>();
        dst = t->mkdir("dst");
        form = std::make_unique<TForm3>();
        host = std::make_unique<DialogHost>(*form);
        engine = std::make_unique<TCopyEngine>(*host);
        form->bindAnswerState(engine->SameNameAnswer, engine->SameNameForAll);
        oldTime = localTime(2020, 1, 2, 3, 4, 6);
        newTime = localTime(2021, 5, 6, 7, 8, 10);
    }
    void cleanup() {
        engine.reset();
        host.reset();
        form.reset();
        t.reset();
    }

    void layoutAndFixedTexts() {
        TForm3& f = *form;
        QCOMPARE(f.windowTitle(), QStringLiteral("Grottan3 建て増し・引っ越し 同名確認"));
        QCOMPARE(f.size(), QSize(719, 263));
        QVERIFY(f.windowFlags() & Qt::WindowStaysOnTopHint);
        QVERIFY(f.windowFlags() & Qt::WindowCloseButtonHint);
        QVERIFY(!(f.windowFlags() & Qt::WindowMinMaxButtonsHint));
        QCOMPARE(f.Label2->text(), QStringLiteral("洞窟名="));
        QCOMPARE(f.Label7->text(), QStringLiteral("家の名="));
        QCOMPARE(f.Edit1->geometry(), QRect(64, 31, 641, 23));
        QCOMPARE(f.Edit2->geometry(), QRect(64, 64, 641, 23));
        QVERIFY(f.Edit1->isReadOnly() && f.Edit2->isReadOnly());
        QCOMPARE(f.Image1->pos(), QPoint(8, 104));
        QCOMPARE(f.Label4->pos(), QPoint(88, 106));
        QCOMPARE(f.Label3->pos(), QPoint(88, 138));
        QCOMPARE(f.Label6->pos(), QPoint(88, 186));
        QCOMPARE(f.Label5->pos(), QPoint(88, 218));
        QCOMPARE(f.RadioGroup1->geometry(), QRect(364, 96, 249, 153));
        QCOMPARE(f.RadioGroup1->title(), QStringLiteral("モード選択"));
        QCOMPARE(f.BitBtn1->geometry(), QRect(620, 104, 89, 25));
        QCOMPARE(f.BitBtn2->geometry(), QRect(620, 144, 89, 25));
        QCOMPARE(f.BitBtn1->text(), QStringLiteral("続ける"));
        QCOMPARE(f.BitBtn2->text(), QStringLiteral("中止する"));
        const char* items[] = {"元がnewなら（この家のみ）", "上書き（この家のみ）",
                               "スキップ（この家のみ）", "元がnewなら（これ以降もすべて）",
                               "上書き（これ以降もすべて）", "スキップ（これ以降もすべて）"};
        for (int i = 0; i < 6; ++i) {
            QCOMPARE(f.radioItem(i)->text(), QString::fromUtf8(items[i]));
            QVERIFY(f.RadioGroup1->contentsRect().contains(f.radioItem(i)->geometry()) ||
                    !f.isVisible());
        }
        QVERIFY(!f.radioItem(6));
        QCOMPARE(f.ItemIndex(), 0);
    }

    // The labels of one showing, with a 0-byte destination and a 1,234,567-byte source.
    void labelsIconAndHints() {
        const std::string src = t->write("src/名前 1.txt", std::string(1234567, 'a'));
        setMtime(src, newTime);
        const std::string d = t->write("dst/名前 1.txt", "");
        setMtime(d, oldTime);
        host->actions = {[](TForm3& f) {
            QCOMPARE(f.Edit1->toolTip(), f.Edit1->text());
            QCOMPARE(f.Edit2->toolTip(), f.Edit2->text());
            const QPixmap icon = f.Image1->pixmap();
            QVERIFY(!icon.isNull());
            QCOMPARE(f.Image1->size(), icon.deviceIndependentSize().toSize());
            for (QLabel* l : {f.Label1, f.Label3, f.Label4, f.Label5, f.Label6})
                QVERIFY2(l->geometry().right() < (l == f.Label1 ? f.width() : f.RadioGroup1->x()),
                         qPrintable(l->text()));
            if (qEnvironmentVariableIsSet("G3_SHOTS")) f.grab().save(QStringLiteral("/tmp/shots/TForm3.png"));
            choose(2)(f);
        }};
        QVERIFY(drop({src}));
        QCOMPARE(host->showings.size(), std::size_t(1));
        const Showing& s = host->showings[0];
        QCOMPARE(s.question, QStringLiteral("同じ名前の家が建て増し先にすでにありますが、建て増ししますか？"));
        QCOMPARE(s.folder, QString::fromUtf8(dst));
        QCOMPARE(s.name, QStringLiteral("名前 1.txt"));
        QCOMPARE(s.srcSize, QStringLiteral("元の大きさ= 1,234,567Byte"));
        QCOMPARE(s.dstSize, QStringLiteral("先の大きさ= 0Byte"));
        QCOMPARE(s.srcTime, QStringLiteral("元の改築日時= 2021/05/06 07:08:10"));
        QCOMPARE(s.dstTime, QStringLiteral("先の改築日時= 2020/01/02 03:04:06"));
        QCOMPARE(readFile(d), std::string());
    }

    // Answer 1 for the first clash: asked again for the second with item 1 preselected.
    void answerForThisHouseOnlyAsksAgainWithTheLastChoice() {
        auto files = makeClashes();
        host->actions = {choose(1), choose(2), choose(5)};
        QVERIFY(drop(files));
        QCOMPARE(host->showings.size(), std::size_t(3));
        QCOMPARE(host->showings[0].preselected, 0);
        QCOMPARE(host->showings[1].preselected, 1);
        QCOMPARE(host->showings[2].preselected, 2);
        QCOMPARE(readFile(dst + "/x1"), std::string("new"));
        QCOMPARE(readFile(dst + "/x2"), std::string("old"));
        QCOMPARE(readFile(dst + "/x3"), std::string("old"));
        QCOMPARE(readFile(dst + "/y"), std::string("y"));
        QVERIFY(host->errors.empty());
    }

    // Answer 3: the later clashes go by last-write time without a dialog; the next run asks
    // again, starting from item 0.
    void answerForAllDecidesTheRestAndTheNextRunStartsAfresh() {
        auto files = makeClashes();
        setMtime(files[2], oldTime - 100); // x3: the source is older
        host->actions = {choose(3)};
        QVERIFY(drop(files));
        QCOMPARE(host->showings.size(), std::size_t(1));
        QCOMPARE(readFile(dst + "/x1"), std::string("new"));
        QCOMPARE(readFile(dst + "/x2"), std::string("new"));
        QCOMPARE(readFile(dst + "/x3"), std::string("old"));
        QCOMPARE(form->ItemIndex(), 3);

        host->actions = {choose(2)};
        QVERIFY(drop({files[2]}));
        QCOMPARE(host->showings.size(), std::size_t(2));
        QCOMPARE(host->showings[1].preselected, 0);
    }

    // Abort and the close box both leave every later clash alone without a dialog; files
    // without a clash are still copied and nothing counts as an error.
    void abortAndCloseBoxSkipTheRestOfTheRun_data() {
        QTest::addColumn<bool>("useCloseBox");
        QTest::newRow("abort button") << false;
        QTest::newRow("close box") << true;
    }
    void abortAndCloseBoxSkipTheRestOfTheRun() {
        QFETCH(bool, useCloseBox);
        auto files = makeClashes();
        host->actions = {useCloseBox ? closeBox : abortRun};
        QVERIFY(drop(files));
        QCOMPARE(host->showings.size(), std::size_t(1));
        QCOMPARE(engine->SameNameAnswer, 6);
        QVERIFY(engine->SameNameForAll);
        for (const char* n : {"/x1", "/x2", "/x3"}) QCOMPARE(readFile(dst + n), std::string("old"));
        QCOMPARE(readFile(dst + "/y"), std::string("y"));
        QVERIFY(host->errors.empty());
        QVERIFY(!form->isVisible());
    }

    void equalTimesWithAnswerZeroKeepTheDestination() {
        const std::string src = t->write("src/e", "new");
        setMtime(src, oldTime);
        setMtime(t->write("dst/e", "old"), oldTime);
        host->actions = {choose(0)};
        QVERIFY(drop({src}));
        QCOMPARE(host->showings.size(), std::size_t(1));
        QCOMPARE(readFile(dst + "/e"), std::string("old"));
    }

    void unboundDialogKeepsItsOwnAnswer() {
        TForm3 f;
        QTimer::singleShot(0, &f, [&] { choose(4)(f); });
        QCOMPARE(f.domeiKakunin("引っ越し", "/tmp/a", 1, 2, "t1", "t2"), 4);
        QCOMPARE(f.SameNameAnswer(), 4);
        QVERIFY(!f.SameNameForAll());
        QTimer::singleShot(0, &f, [&] { abortRun(f); });
        QCOMPARE(f.domeiKakunin("引っ越し", "/tmp/a", 1, 2, "t1", "t2"), 6);
        QVERIFY(f.SameNameForAll());
        f.prepareRun();
        QVERIFY(!f.SameNameForAll());
        QCOMPARE(f.ItemIndex(), 0);
    }
};

QTEST_MAIN(SameNameDialogTest)
#include "Unit3_qtest.moc"
