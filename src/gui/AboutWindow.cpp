#include "gui/AboutWindow.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "gui/AppIcon.h"

namespace pamiro::about {

namespace {

QString Text(const std::string& text) { return QString::fromStdString(text); }

QFrame* SeparatorLine(QWidget* parent, const QString& name) {
    auto* line = new QFrame(parent);
    line->setObjectName(name);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    return line;
}

}  // namespace

AboutWindow::AboutWindow(QWidget* parent, const AboutTexts& shown) : QWidget(parent, Qt::Dialog) {
    setObjectName(QStringLiteral("frmAbout"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(Text(shown.Caption));
    setWindowIcon(AppIcon());

    auto* icon = new QLabel(this);
    icon->setObjectName(QStringLiteral("picIcon"));
    icon->setPixmap(AppPixmap(64));
    icon->setAlignment(Qt::AlignTop | Qt::AlignHCenter);

    auto* title = new QLabel(Text(shown.Title), this);
    title->setObjectName(QStringLiteral("lblTitle"));
    QFont titleFont = title->font();
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.8);
    titleFont.setBold(true);
    title->setFont(titleFont);

    auto* version = new QLabel(Text(shown.Version), this);
    version->setObjectName(QStringLiteral("lblVersion"));
    auto* description = new QLabel(Text(shown.Description), this);
    description->setObjectName(QStringLiteral("lblDescription"));

    auto* credits = new QLabel(Text(shown.Credits), this);
    credits->setObjectName(QStringLiteral("lblDisclaimer"));
    credits->setWordWrap(false);
    QFont small = credits->font();
    small.setPointSizeF(small.pointSizeF() * 0.9);
    credits->setFont(small);

    auto* ok = new QPushButton(Text(shown.Button), this);
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
