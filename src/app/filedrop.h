#pragma once

#include <QObject>
#include <QStringList>

class QMimeData;
class QWidget;

namespace rusena {

/// Lets files and folders be dropped on a window: local paths only; anything else is
/// refused at the door so the cursor says so.
class FileDrop final : public QObject {
    Q_OBJECT
public:
    explicit FileDrop(QWidget *window);

Q_SIGNALS:
    void filesDropped(const QStringList &paths);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};

/// The local paths a drop carries, empty when it carries anything else.
QStringList localPathsOf(const QMimeData *data);

} // namespace rusena
