#pragma once

#include <QLabel>

namespace rusena {

/// A boat's marker on the start-timing chart. Painted as shapes on every paint, so that it
/// stays sharp at any screen scale.
class BoatMarker final : public QLabel {
    Q_OBJECT
public:
    explicit BoatMarker(int boat, QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    int m_boat;
};

} // namespace rusena
