#pragma once
// What the two stand-in screens share: a full screen of the 800 x 600 panel
// with the accent band of a title across its top.

#include "platform/Form.h"

class QLabel;

class StandInScreen : public plat::Form {
    Q_OBJECT
public:
    static constexpr int Width = 800;
    static constexpr int Height = 600;
    static constexpr int Band = 64;

    explicit StandInScreen(const QString& name);

protected:
    // The title label in the band.
    QLabel* newTitle();
    void paintEvent(QPaintEvent* event) override;
};
