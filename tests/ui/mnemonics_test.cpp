// Mnemonic marks in captions: which letter a caption gives Alt, and the caption as shown.
#include <QtTest>

#include "ui/mnemonics.h"

using namespace tessaro;

class MnemonicsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void captionsAsShown()
    {
        const std::pair<QString, QString> cases[] = {
            {QStringLiteral("&Open"), QStringLiteral("Open")},
            {QStringLiteral("Save &as..."), QStringLiteral("Save as...")},
            {QStringLiteral("R&&D"), QStringLiteral("R&D")},
            {QStringLiteral("&&&x"), QStringLiteral("&x")},
            {QStringLiteral("end&"), QStringLiteral("end")},
            {QStringLiteral("plain"), QStringLiteral("plain")},
            {QStringLiteral("&Открыть"), QStringLiteral("Открыть")},
        };
        for (const auto& [caption, shown] : cases)
            QCOMPARE(withoutMnemonics(caption), shown);
    }
};

QTEST_MAIN(MnemonicsTest)
#include "mnemonics_test.moc"
