#include "gui/AboutWindow.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/ProgramInfo.h"
#include "gui/AppIcon.h"

namespace pamiro::about {

namespace {

QString Latin(std::string_view text) {
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

QFrame* SeparatorLine(QWidget* parent, const QString& name) {
    auto* line = new QFrame(parent);
    line->setObjectName(name);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    return line;
}

}  // namespace

QString AboutWindow::VersionText() {
    return QStringLiteral("Versión %1.%2.%3")
        .arg(kVersionMajor)
        .arg(kVersionMinor)
        .arg(kVersionRevision);
}

AboutWindow::AboutWindow(QWidget* parent) : QWidget(parent, Qt::Dialog) {
    setObjectName(QStringLiteral("frmAbout"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Acerca de ") + Latin(kProgramName));
    setWindowIcon(AppIcon());

    auto* icon = new QLabel(this);
    icon->setObjectName(QStringLiteral("picIcon"));
    icon->setPixmap(AppPixmap(64));
    icon->setAlignment(Qt::AlignTop | Qt::AlignHCenter);

    auto* title = new QLabel(Latin(kProgramName), this);
    title->setObjectName(QStringLiteral("lblTitle"));
    QFont titleFont = title->font();
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.8);
    titleFont.setBold(true);
    title->setFont(titleFont);

    auto* version = new QLabel(VersionText(), this);
    version->setObjectName(QStringLiteral("lblVersion"));
    auto* description = new QLabel(Latin(kDescription), this);
    description->setObjectName(QStringLiteral("lblDescription"));

    auto* credits =
        new QLabel(QStringLiteral("Desarrollo: equipo de ingeniería de Pamiro.\n"
                                  "Revise los archivos generados antes de cargarlos en un CP.\n"
                                  "Se entrega sin garantía de ningún tipo."),
                   this);
    credits->setObjectName(QStringLiteral("lblDisclaimer"));
    credits->setWordWrap(false);
    QFont small = credits->font();
    small.setPointSizeF(small.pointSizeF() * 0.9);
    credits->setFont(small);

    auto* ok = new QPushButton(QStringLiteral("Aceptar"), this);
    ok->setObjectName(QStringLiteral("cmdOK"));
    ok->setDefault(true);
    ok->setAutoDefault(true);
    connect(ok, &QPushButton::clicked, this, &QWidget::close);

    auto* texts = new QVBoxLayout;
    texts->setSpacing(4);
    texts->addWidget(title);
    texts->addWidget(version);
    texts->addWidget(description);
    texts->addStretch(1);

    auto* top = new QHBoxLayout;
    top->setSpacing(16);
    top->addWidget(icon);
    top->addLayout(texts, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(18, 18, 18, 14);
    layout->setSpacing(10);
    layout->addLayout(top);
    layout->addWidget(SeparatorLine(this, QStringLiteral("Line1_0")));
    layout->addWidget(credits);
    layout->addWidget(SeparatorLine(this, QStringLiteral("Line1_1")));
    layout->addLayout(buttons);
    setFixedSize(sizeHint());
    ok->setFocus();
}

void AboutWindow::keyPressEvent(QKeyEvent* event) {
    // Outside a dialog the default button does not take Enter by itself.
    if (event->key() == Qt::Key_Escape || event->key() == Qt::Key_Return ||
        event->key() == Qt::Key_Enter) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

}  // namespace pamiro::about
