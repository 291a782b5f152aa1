#pragma once

#include <QWidget>

#include "app/WindowView.h"

namespace pamiro::about {

// frmAbout: the program's title, version, description and credits. Shown
// without blocking the main window; "Aceptar" closes and destroys it.
class AboutWindow : public QWidget {
    Q_OBJECT

  public:
    // The texts come from the window model.
    AboutWindow(QWidget* parent, const AboutTexts& shown);

  protected:
    void keyPressEvent(QKeyEvent* event) override;
};

}  // namespace pamiro::about
