#include "gui/DriveList.h"

namespace pamiro::window {

DriveList::DriveList(QWidget* parent) : QComboBox(parent) {
    setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    setMinimumContentsLength(12);
}

void DriveList::showPopup() {
    emit opening();
    QComboBox::showPopup();
}

}  // namespace pamiro::window
