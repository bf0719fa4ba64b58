// The Russian translation loaded as the editor loads it at start: the windows' own texts, the
// core's texts where the windows show them (whole, or piece by piece around paths and
// numbers), and English unchanged when no translation is loaded.
#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QMap>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSet>
#include <QStackedWidget>
#include <QTranslator>
#include <QtTest>

#include <functional>
#include <memory>

#include "core/menu_document.h"
#include "edit/tree_edit.h"
#include "support/ui_harness.h"
#include "session/editor_session.h"
#include "ui/app_translations.h"
#include "ui/core_text.h"
#include "ui/item_properties_window.h"
#include "ui/main_window.h"
#include "ui/menu_tree_view.h"
#include "ui/mnemonics.h"
#include "ui/progress_window.h"
#include "ui/setup_dialog.h"
#include "ui/wrapping_command_button.h"

using namespace tessaro;
using namespace tessaro::testing;

namespace {

void removeTranslations()
{
    for (QTranslator* translator : qApp->findChildren<QTranslator*>()) {
        QCoreApplication::removeTranslator(translator);
        delete translator;
    }
}

bool loadRussian()
{
    return installTranslations(*qApp, QLocale(QLocale::Russian, QLocale::Russia),
                               {QStringLiteral(TESSARO_TRANSLATIONS)});
}

QStringList menuTitles(MainWindow& w)
{
    QStringList titles;
    for (QAction* action : w.menuBar()->actions())
        titles << action->text();
    return titles;
}

// Core texts as the windows receive them, and as the Russian windows show them.
void coreTexts()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("russian");
    QTest::newRow("caption") << "Error" << QStringLiteral("Ошибка");
    QTest::newRow("two lines") << "mma_ucp was stored to the phone\r\n      Should we reboot it?"
                               << QStringLiteral("mma_ucp записан в телефон\r\n      Перезагрузить его?");
    QTest::newRow("piece and path") << "Error reading /a/mobile/system/mma_ucp"
                                    << QStringLiteral("Ошибка чтения /a/mobile/system/mma_ucp");
    QTest::newRow("path between pieces")
        << "File /a/Error/Warning.gif already exists\r\nOverwrite it?"
        << QStringLiteral("Файл /a/Error/Warning.gif уже существует\r\nПерезаписать его?");
    // The change lines of Compare and Save to phone, around names, places and values.
    QTest::newRow("moved") << "moved Calculator from Games #1 to Games/Tools #2"
                           << QStringLiteral("перемещён Calculator из Games #1 в Games/Tools #2");
    QTest::newRow("softkey replaced") << "softkey 2: Camera replaced by Radio"
                                      << QStringLiteral("софтклавиша 2: Camera заменён на Radio");
    QTest::newRow("save mode") << "save mode: record size 36 -> 40"
                               << QStringLiteral("режим сохранения: размер записи 36 -> 40");
    QTest::newRow("title removed") << "Games: menu title 06 removed (\"Jeux\")"
                                   << QStringLiteral("Games: заголовок меню 06 удалён (\"Jeux\")");
    QTest::newRow("drm icon") << "Games: DRM list icon 17 (first byte 0x12) -> 18 (first byte 0x12)"
                              << QStringLiteral(
                                     "Games: DRM-значок списка 17 (первый байт 0x12) -> 18 (первый байт 0x12)");
    QTest::newRow("record order") << "Games: data records in another order"
                                  << QStringLiteral("Games: записи данных в другом порядке");
    // Deleting a phone folder: the question and what a refusal left.
    QTest::newRow("folder question") << "Delete folder /a/mobile with its 2 files and 1 folder?"
                                     << QStringLiteral(
                                            "Удалить папку /a/mobile со всем содержимым (файлов: 2, папок: 1)?");
    QTest::newRow("folder refusal")
        << "Error deleting /a/x/sub\r\nDeleted: 1 file and 1 folder.\r\nLeft on the phone: 3 files and 2 folders."
        << QStringLiteral("Ошибка удаления /a/x/sub\r\nУдалено файлов: 1, папок: 1.\r\n"
                          "Осталось на телефоне файлов: 3, папок: 2.");
    QTest::newRow("status panel") << "Phone: V3  [R374_G_0E.30.49R] "
                                  << QStringLiteral("Телефон: V3  [R374_G_0E.30.49R] ");
    QTest::newRow("numbers between pieces") << "Format: 36-byte  Entries: 12"
                                            << QStringLiteral("Формат: 36-байтный  Записей: 12");
    QTest::newRow("progress") << "Uploading Error.gif 42% (Total 7%)"
                              << QStringLiteral("Отправка Error.gif 42% (всего 7%)");
    QTest::newRow("percent first") << "12% Retrieving file list from volume /a/"
                                   << QStringLiteral("12% Получение списка файлов с тома /a/");
    QTest::newRow("known line, unknown line")
        << "The file is damaged. What could not be read as it stands was repaired or left out:\r\n"
           "record 12: title beyond its record"
        << QStringLiteral("Файл повреждён. То, что не удалось прочитать как есть, исправлено или "
                          "пропущено:\r\nrecord 12: title beyond its record");
    QTest::newRow("USB notice") << "A Motorola phone was found on USB but cannot be opened: permission denied. "
                                   "Install the udev rule 70-tessaro-p2k.rules (see \"Using a real phone\" in "
                                   "the README) and plug the phone in again."
                                << QStringLiteral("Телефон Motorola найден на USB, но его не удаётся открыть: нет "
                                                  "прав доступа. Установите правило udev 70-tessaro-p2k.rules (см. "
                                                  "«Using a real phone» в README) и подключите телефон заново.");
    QTest::newRow("word inside a word") << "Errors happen" << QStringLiteral("Errors happen");
    QTest::newRow("word inside a line") << "No Warning here" << QStringLiteral("No Warning here");
    QTest::newRow("unknown") << "Phone restarted" << QStringLiteral("Phone restarted");
    QTest::newRow("empty") << "" << QString();
}

} // namespace

class TranslationTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { quietPlatformWarnings(); }
    void cleanup() { removeTranslations(); }

    void foundBesideTheProgramOrInTheBuildFolder()
    {
        QCOMPARE(translationFolders(QStringLiteral("/opt/tessaro/bin")),
                 (QStringList{"/opt/tessaro/share/tessaro/translations", "/opt/tessaro/bin/translations"}));
        // English is the source language: nothing to load.
        QVERIFY(!installTranslations(*qApp, QLocale(QLocale::English, QLocale::UnitedStates),
                                     {QStringLiteral(TESSARO_TRANSLATIONS)}));
        QVERIFY(!installTranslations(*qApp, QLocale(QLocale::Russian, QLocale::Russia),
                                     {QStringLiteral("/nonexistent")}));
        QVERIFY(loadRussian());
    }

    void coreTextRussian_data() { coreTexts(); }
    void coreTextRussian()
    {
        QFETCH(QString, text);
        QFETCH(QString, russian);
        QVERIFY(loadRussian());
        QCOMPARE(coreText(text.toStdString()), russian);
    }

    void coreTextEnglish_data() { coreTexts(); }
    void coreTextEnglish()
    {
        QFETCH(QString, text);
        QCOMPARE(coreText(text.toStdString()), text);
    }

    // In every translation, no letter is the Alt key of two different entries of one menu or
    // controls of one dialog shown together: the second could never be reached from the
    // keyboard. Buttons of the same caption (Add of two title lists) share theirs on purpose:
    // Alt then moves between them.
    void noMnemonicTwiceInAMenuOrDialog_data()
    {
        QTest::addColumn<bool>("russian");
        QTest::newRow("English") << false;
        QTest::newRow("Russian") << true;
    }
    void noMnemonicTwiceInAMenuOrDialog()
    {
        QFETCH(bool, russian);
        if (russian)
            QVERIFY(loadRussian());
        WindowHarness h;
        MainWindow& w = h.start();
        QStringList clashes;
        const auto check = [&clashes](const QString& where, const QStringList& captions) {
            QMap<QChar, QString> seen;
            for (const QString& caption : captions) {
                const QChar letter = mnemonicOf(caption);
                if (letter.isNull())
                    continue;
                if (seen.contains(letter) && seen[letter] != caption)
                    clashes << where + QStringLiteral(": ") + seen[letter] + QStringLiteral(" / ") + caption;
                seen[letter] = caption;
            }
        };
        check(QStringLiteral("menu bar"), menuTitles(w));
        for (QMenu* menu : w.findChildren<QMenu*>()) {
            QStringList captions;
            for (QAction* action : menu->actions())
                if (!action->isSeparator())
                    captions << action->text();
            check(menu->objectName().isEmpty() ? menu->title() : menu->objectName(), captions);
        }
        EntryLanguages languages;
        const std::vector<std::pair<const char*, std::function<std::unique_ptr<QWidget>()>>> dialogs = {
            {"Item properties",
             [&] { return std::make_unique<ItemPropertiesWindow>(*h.context, h.prompter, h.files, languages); }},
            {"Settings",
             [&] {
                 return std::make_unique<SetupDialog>(h.context->settings, h.dir.file("tessaro.ini"), nullptr, false,
                                                      h.files, h.prompter);
             }},
        };
        for (const auto& [name, make] : dialogs) {
            const std::unique_ptr<QWidget> dialog = make();
            // What is shown together: the controls outside tab pages with those of each page.
            QMap<const QWidget*, QStringList> shownTogether;
            const auto pageOf = [](const QWidget* widget) -> const QWidget* {
                for (; widget && widget->parentWidget(); widget = widget->parentWidget())
                    if (qobject_cast<const QStackedWidget*>(widget->parentWidget()))
                        return widget;
                return nullptr;
            };
            const auto add = [&](const QWidget* widget, const QString& caption) {
                shownTogether[pageOf(widget)] << caption;
            };
            for (const QAbstractButton* button : dialog->findChildren<QAbstractButton*>())
                add(button, button->text());
            for (const QLabel* label : dialog->findChildren<QLabel*>())
                if (label->buddy())
                    add(label, label->text());
            for (const QGroupBox* box : dialog->findChildren<QGroupBox*>())
                add(box, box->title());
            const QStringList common = shownTogether.value(nullptr);
            if (shownTogether.size() == 1)
                check(QLatin1String(name), common);
            for (auto page = shownTogether.cbegin(); page != shownTogether.cend(); ++page)
                if (page.key())
                    check(QLatin1String(name) + QStringLiteral(", page ") + page.key()->objectName(),
                          common + page.value());
        }
        QVERIFY2(clashes.isEmpty(), qPrintable(clashes.join(QLatin1Char('\n'))));
    }

    void mainWindowRussian()
    {
        QVERIFY(loadRussian());
        WindowHarness h;
        MainWindow& w = h.start();
        QCOMPARE(menuTitles(w), (QStringList{"&Файл", "&Правка", "&Настройка", "Ви&д", "&Справка"}));
        QCOMPARE(child<QAction>(w, "newAction")->text(), QStringLiteral("&Новый"));
        QCOMPARE(child<QAction>(w, "exitAction")->text(), QStringLiteral("В&ыход"));
        QCOMPARE(child<QAction>(w, "openFromPhoneAction")->toolTip(), QStringLiteral("Открыть mma_ucp с телефона"));
        QCOMPARE(child<QLabel>(w, "availableItemsLabel")->text(), QStringLiteral("Доступные пункты mma"));
        QCOMPARE(child<QComboBox>(w, "availableItems")->placeholderText(), QStringLiteral("Сначала откройте меню"));
        // The empty tree's commands, whose Alt letters must not take one of the menu bar's.
        QCOMPARE(child<QLabel>(w, "emptyTreeTitle")->text(), QStringLiteral("Меню не открыто"));
        QStringList captions = menuTitles(w);
        for (const char* name : {"openFileCommand", "openFromPhoneCommand", "newMenuCommand"})
            captions << child<QAbstractButton>(w, name)->text();
        QCOMPARE(captions.mid(5), (QStringList{"&Открыть файл...", "Открыть с &телефона", "Со&здать меню"}));
        QSet<QChar> letters;
        for (const QString& caption : captions)
            letters.insert(mnemonicOf(caption));
        QCOMPARE(letters.size(), captions.size());
        QCOMPARE(child<WrappingCommandButton>(w, "openFromPhoneCommand")->note(),
                 QStringLiteral("Телефон не подключён"));
        // The longer Russian captions still fit the tree at the window's first size.
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        const QStringList clipped = clippedChildren(*child<QWidget>(w, "emptyTreeHint"));
        QVERIFY2(clipped.isEmpty(), qPrintable(clipped.join(u' ')));
        for (const char* name : {"openFileCommand", "openFromPhoneCommand", "newMenuCommand"}) {
            auto* command = child<WrappingCommandButton>(w, name);
            QVERIFY2(command->height() >= command->heightForWidth(command->width()), name);
        }
        auto* profiles = child<QComboBox>(w, "profileSelector");
        QCOMPARE(profiles->itemText(0), QStringLiteral("По умолчанию"));
        QCOMPARE(profiles->itemText(profiles->count() - 1), QStringLiteral("Создать новый..."));
        // The core's texts: the phone panel and the tray balloon.
        QCOMPARE(w.statusPanel(2)->text(), QStringLiteral("Телефон: нет"));
        QCOMPARE(w.balloonText(), QStringLiteral("Отключён"));
        // The program's name and version are no words to translate.
        QCOMPARE(w.windowTitle(), QStringLiteral("Tessaro v.0.6[*]"));
        // The core gets its answers in English whatever the windows show.
        QCOMPARE(h.context->profiles.selectorEntries().front(), std::string("Default"));
    }

    void documentTextsRussian()
    {
        QVERIFY(loadRussian());
        WindowHarness h;
        MainWindow& w = h.start();
        child<QAction>(w, "newAction")->trigger();
        QCOMPARE(w.statusPanel(1)->text(), QStringLiteral("Формат: 36-байтный  Записей: 0"));
        MenuDocument& doc = w.context().menu.document;
        auto* available = child<QComboBox>(w, "availableItems");
        available->setCurrentIndex(available->findText(QStringLiteral("PhoneBook")));
        w.tree()->selectNode(doc.menuRoot());
        w.insertItem(InsertPosition::AddSubitemLast);
        QCOMPARE(w.statusPanel(1)->text(), QStringLiteral("Формат: 36-байтный  Записей: 1"));
        w.tree()->selectNode(doc.menuRoot()->children().back().get());
        QCOMPARE(child<QPlainTextEdit>(w, "itemSummary")->toPlainText(),
                 QStringLiteral("Сводка по пункту:\n\n[Не изменён]"));
        // The Edit menu names the step to undo.
        QCOMPARE(child<QAction>(w, "undoAction")->text(), QStringLiteral("&Отменить вставку пункта"));
    }

    void progressCaptionRussian()
    {
        QVERIFY(loadRussian());
        ProgressWindow window(nullptr);
        window.setCaption("37% Retrieving picture list from volume /b/");
        QCOMPARE(window.windowTitle(), QStringLiteral("37% Получение списка картинок с тома /b/"));
        QCOMPARE(child<QLabel>(window, "captionLabel")->text(), window.windowTitle());
        // The core reads back the caption it set.
        QCOMPARE(window.caption(), std::string("37% Retrieving picture list from volume /b/"));
    }

    void messageBoxButtonsRussian()
    {
        // The buttons the prompter's boxes use, translated even where Qt's own translations
        // are not installed.
        QVERIFY(loadRussian());
        QMessageBox box(QMessageBox::Question, QString(), QString(),
                        QMessageBox::Yes | QMessageBox::YesToAll | QMessageBox::No | QMessageBox::Cancel);
        QCOMPARE(box.button(QMessageBox::Yes)->text(), QStringLiteral("&Да"));
        QCOMPARE(box.button(QMessageBox::YesToAll)->text(), QStringLiteral("Да для &всех"));
        QCOMPARE(box.button(QMessageBox::No)->text(), QStringLiteral("&Нет"));
        QCOMPARE(box.button(QMessageBox::Cancel)->text(), QStringLiteral("Отмена"));
        QMessageBox save(QMessageBox::Question, QString(), QString(),
                         QMessageBox::Save | QMessageBox::Discard);
        QCOMPARE(save.button(QMessageBox::Save)->text(), QStringLiteral("Сохранить"));
        QCOMPARE(save.button(QMessageBox::Discard)->text(), QStringLiteral("Не сохранять"));
    }

    void mainWindowEnglishWithoutTranslation()
    {
        WindowHarness h;
        MainWindow& w = h.start();
        QCOMPARE(menuTitles(w), (QStringList{"&File", "&Edit", "&Setup", "Vie&w", "&Help"}));
        QCOMPARE(w.statusPanel(2)->text(), QStringLiteral("Phone: None"));
        QCOMPARE(w.balloonText(), QStringLiteral("Disconnected"));
    }
};

QTEST_MAIN(TranslationTest)
#include "translation_test.moc"
