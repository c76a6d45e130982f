// TTabStrip: a strip of fixed-size tabs that wraps into as many rows as its width needs,
// with the tabs below their page (the shape of tabs at the bottom). It has no pages: the
// owner reacts to the pointer through the signals.
#pragma once

#include <QString>
#include <QStringList>
#include <QWidget>

namespace g3 {

class TTabStrip : public QWidget {
    Q_OBJECT
public:
    explicit TTabStrip(QWidget* parent = nullptr);

    void setTabSize(int width, int height);
    int tabWidth() const { return tabWidth_; }
    int tabHeight() const { return tabHeight_; }

    int count() const { return static_cast<int>(captions_.size()); }
    void addTab(const QString& caption);
    void removeTab(int index);
    QString tabText(int index) const { return captions_.value(index); }

    // -1 for no selected tab.
    int tabIndex() const { return tabIndex_; }
    void setTabIndex(int index);

    // Rows the tabs take at the current width (0 without tabs).
    int rowCount() const { return rowsFor(width()); }
    int rowsFor(int stripWidth) const;
    QRect tabRect(int index) const;
    // The tab under a point of the strip, -1 over none.
    int indexOfTabAt(const QPoint& pos) const;

    QSize sizeHint() const override;

signals:
    void tabMouseMove(const QPoint& pos);
    void tabMouseUp(Qt::MouseButton button, const QPoint& pos);
    // The number of rows changed (tabs added or removed, or the strip resized).
    void rowCountChanged(int rows);

protected:
    void paintEvent(QPaintEvent*) override;
    void mouseMoveEvent(QMouseEvent*) override;
    void mouseReleaseEvent(QMouseEvent*) override;
    void resizeEvent(QResizeEvent*) override;

private:
    int perRow(int stripWidth) const;
    void rowsMayHaveChanged();

    QStringList captions_;
    int tabIndex_ = -1;
    int tabWidth_ = 80;
    int tabHeight_ = 22;
    int lastRows_ = 0;
};

} // namespace g3
