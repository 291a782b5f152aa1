// The real message boxes, answered by pressing their buttons as a user would.
#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <QtTest>

#include "WindowFixture.h"

using namespace pamiro;
using namespace pamiro::testing;

class WindowMessageBoxTest : public QObject {
    Q_OBJECT

  private slots:
    void readOnlyStoreIsKeptAndReportedInSpanishBoxes() {
        WindowPlace place;
        place.Open().reset();  // the first start writes the store
        const std::string stored = place.Settings();
        fs::permissions(place.SettingsFile(), fs::perms(0444));
        auto window = place.Open();

        struct Seen {
            QString Text, Title;
            QStringList Buttons;
        };
        std::vector<Seen> seen;
        QTimer presser;
        connect(&presser, &QTimer::timeout, [&] {
            for (QWidget* widget : QApplication::topLevelWidgets()) {
                auto* box = qobject_cast<QMessageBox*>(widget);
                if (box == nullptr || !box->isVisible()) continue;
                Seen shown{box->text(), box->windowTitle(), {}};
                for (QAbstractButton* button : box->buttons()) shown.Buttons << button->text();
                shown.Buttons.sort();
                seen.push_back(shown);
                QAbstractButton* yes = box->button(QMessageBox::Yes);
                (yes != nullptr ? yes : box->button(QMessageBox::Ok))->click();
            }
        });
        presser.start(10);
        Element<QAction>(window.get(), "mnuArchivo_1")->trigger();

        QCOMPARE(seen.size(), size_t(2));
        QCOMPARE(seen[0].Buttons, (QStringList{"No", "Sí"}));
        QCOMPARE(seen[1].Text, QStringLiteral("No se pueden guardar los parametros: ") +
                                   Q(place.SettingsFile()) + QStringLiteral(": Permiso denegado"));
        QCOMPARE(seen[1].Title, QStringLiteral("Pamiro"));
        QCOMPARE(seen[1].Buttons, QStringList{"Aceptar"});
        QCOMPARE(place.Settings(), stored);
        QCOMPARE(fs::status(place.SettingsFile()).permissions(), fs::perms(0444));
    }
};

QTEST_MAIN(WindowMessageBoxTest)
#include "WindowMessageBoxTest.moc"
