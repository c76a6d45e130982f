// What the tests that meet other X clients share, on the display named by G3_XVFB_DISPLAY:
// the pointer and the keys driven by xdotool, and another client whose report lines are
// read while this process goes on serving its own windows.
#pragma once

#include <QProcess>
#include <QRect>
#include <QStringList>
#include <QTest>

namespace g3test {

inline bool xdotool(const QStringList& args) { return QProcess::execute(QStringLiteral("xdotool"), args) == 0; }

inline bool moveTo(QPoint p) {
    return xdotool({QStringLiteral("mousemove"), QString::number(p.x()), QString::number(p.y())});
}

// A program that reports on its standard output, one line each; it is killed at the end.
class OtherClient {
public:
    OtherClient(const QString& program, const QStringList& args) {
        p_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        p_.start(program, args);
    }
    ~OtherClient() {
        if (p_.state() != QProcess::NotRunning) {
            p_.kill();
            p_.waitForFinished(5000);
        }
    }
    OtherClient(const OtherClient&) = delete;
    OtherClient& operator=(const OtherClient&) = delete;

    // The first line that starts with word (of those not forgotten), waited for; "" when
    // none came in time.
    QString line(const QString& word, int ms = 20000) {
        QString found;
        (void)QTest::qWaitFor([&] {
            read();
            for (const QString& l : lines_)
                if (l.startsWith(word)) {
                    found = l;
                    return true;
                }
            return false;
        }, ms);
        return found;
    }
    // Every line so far.
    QStringList lines() {
        read();
        return lines_;
    }
    // The lines so far are left behind: line() looks only at those that follow.
    void forget() {
        read();
        lines_.clear();
    }
    // "ready X Y W H": where the client's window stands on the screen.
    QRect window() {
        const QStringList v = line(QStringLiteral("ready")).split(QLatin1Char(' '));
        if (v.size() != 5) return {};
        return QRect(v[1].toInt(), v[2].toInt(), v[3].toInt(), v[4].toInt());
    }

private:
    void read() {
        lines_ += QString::fromUtf8(p_.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }

    QProcess p_;
    QStringList lines_;
};

} // namespace g3test
