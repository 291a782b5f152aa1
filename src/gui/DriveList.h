#pragma once

#include <QComboBox>

namespace pamiro::window {

// A drive list as the window model fills it. Drives come and go (a stick
// plugged in): each opening asks the model to read them anew first.
class DriveList : public QComboBox {
    Q_OBJECT

  public:
    explicit DriveList(QWidget* parent = nullptr);
    void showPopup() override;

  signals:
    void opening();
};

}  // namespace pamiro::window
