#pragma once

#include <QWidget>

namespace pamiro::about {

// frmAbout: the program's title, version, description and credits. Shown
// without blocking the main window; "Aceptar" closes and destroys it.
class AboutWindow : public QWidget {
    Q_OBJECT

  public:
    explicit AboutWindow(QWidget* parent = nullptr);

    // "Versión " and the version numbers written without padding.
    static QString VersionText();

  protected:
    void keyPressEvent(QKeyEvent* event) override;
};

}  // namespace pamiro::about
