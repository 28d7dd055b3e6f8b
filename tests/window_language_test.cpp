// Qt's own texts in the window, as the program loads them at start: Italian
// whatever the system's language (ctest runs this under LANG=C and en_US).
#include <QFileDialog>
#include <QLabel>
#include <QMenu>
#include <QPushButton>

#include "qt_italian.h"
#include "window_fixture.h"

namespace {

// The texts a person reads: no access-key marks, no shortcuts.
QString Shown(QString text) { return text.remove(u'&').section(u'\t', 0, 0); }

// The buttons of the message box the window opens, by their text.
QStringList ButtonTexts(QMessageBox* box) {
  QStringList texts;
  for (QAbstractButton* button : box->buttons()) texts.append(Shown(button->text()));
  texts.sort();
  return texts;
}

// The real message boxes, answered by a click on one of their buttons.
class ClickingPlatform : public FakePlatform {
 public:
  QStringList buttons;
  QMessageBox::StandardButton click = QMessageBox::No;

  QMessageBox::StandardButton showMessage(QWidget* parent,
                                          const cardel::MessageRequest& r) override {
    shown.append(r);
    QTimer::singleShot(0, [this] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      QVERIFY(box);
      buttons = ButtonTexts(box);
      QTest::mouseClick(box->button(click), Qt::LeftButton);
    });
    return Platform::showMessage(parent, r);
  }
};

}  // namespace

class WindowLanguageTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { QVERIFY(cardel::UseItalianQtTexts()); }

  void logBoxContextMenuIsItalian() {
    WindowUnderTest w;
    w.showActive();
    w.setLog(QsoLineText("001", "0918", "Q1ABC", "012", "JN61FW"));
    QStringList texts;
    QTimer::singleShot(0, [&] {
      auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
      QVERIFY(menu);
      for (QAction* action : menu->actions())
        texts.append(action->isSeparator() ? "-" : Shown(action->text()));
      menu->close();
    });
    w.window->Text1->setFocus();
    QTest::keyClick(w.window->Text1, Qt::Key_Menu);
    QCOMPARE(texts, QStringList({"Annulla", "Rifai", "-", "Taglia", "Copia", "Incolla", "Elimina",
                                 "-", "Seleziona tutto", "-", "Stazione...", "Esporta...",
                                 "Punteggio..."}));
  }

  void exitQuestionAnswersInItalian_data() {
    QTest::addColumn<int>("click");
    QTest::addColumn<bool>("closed");
    QTest::newRow("No stays") << int(QMessageBox::No) << false;
    QTest::newRow("Yes leaves") << int(QMessageBox::Yes) << true;
  }

  void exitQuestionAnswersInItalian() {
    QFETCH(int, click);
    QFETCH(bool, closed);
    QTemporaryDir dir;
    ClickingPlatform platform;
    platform.folder = dir.path();
    platform.click = QMessageBox::StandardButton(click);
    cardel::Form15 window(platform);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    QTest::mouseClick(window.Command4, Qt::LeftButton);

    QCOMPARE(platform.shown.size(), 1);
    QCOMPARE(platform.buttons, QStringList({"No", "Sì"}));
    QCOMPARE(window.isVisible(), !closed);
  }

  // The other buttons the window's messages use; the exit question has Sì and No.
  void messageBoxButtonsAreItalian_data() {
    QTest::addColumn<int>("buttons");
    QTest::addColumn<QStringList>("texts");
    QTest::newRow("OK") << int(QMessageBox::Ok) << QStringList({"OK"});
    QTest::newRow("OK, Annulla") << int(QMessageBox::Ok | QMessageBox::Cancel)
                                 << QStringList({"Annulla", "OK"});
  }

  void messageBoxButtonsAreItalian() {
    QFETCH(int, buttons);
    QFETCH(QStringList, texts);
    QMessageBox box(QMessageBox::Question, "Cardel", "?", QMessageBox::StandardButtons(buttons));
    QCOMPARE(ButtonTexts(&box), texts);
  }

  // Qt's own file dialog, the one "Sfoglia..." opens where the desktop has
  // none of its own.
  void fileDialogIsItalian() {
    QFileDialog dialog(nullptr, "Esporta", QDir::tempPath());
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    QStringList labels;
    for (QLabel* label : dialog.findChildren<QLabel*>()) labels.append(Shown(label->text()));
    QVERIFY2(labels.contains("Nome del file:"), qPrintable(labels.join(" | ")));
    QVERIFY2(labels.contains("Cerca in:"), qPrintable(labels.join(" | ")));
  }
};

QTEST_MAIN(WindowLanguageTest)
#include "window_language_test.moc"
