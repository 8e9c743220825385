#include "ModalAnswerer.h"
#include "ModelOnlyCard.h"
#include "qv4000fp_descriptorStore.h"
#include "qv4000fp_fcEnterAddress.h"
#include "qv4000fp_fcEnterAddressFc.h"
#include "qv4000fp_genFC.h"

#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <memory>

namespace {
const QString kDefault = QStringLiteral("TCPIP::192.168.2.100::INSTR");

QStringList items(const QComboBox* combo) {
    QStringList texts;
    for (int i = 0; i < combo->count(); ++i)
        texts << combo->itemText(i);
    return texts;
}

bool hasCountLabel(const QWidget* dialog) {
    const auto labels = dialog->findChildren<QLabel*>();
    return std::any_of(labels.begin(), labels.end(),
                       [](const QLabel* label) { return label->text() == "Count: "; });
}

void clickButton(QWidget* dialog, const QString& text) {
    const auto buttons = dialog->findChildren<QPushButton*>();
    for (QPushButton* button : buttons) {
        if (button->text() == text)
            button->click();
    }
}
} // namespace

class AddressEntryTest : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString file() const {
        return m_dir->path() + QStringLiteral("/Quorvel/DefaultInstrDescr.ini");
    }
    QByteArray fileBytes() const {
        QFile f(file());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    void writeFile(const QByteArray& bytes) {
        QDir().mkpath(m_dir->path() + QStringLiteral("/Quorvel"));
        QFile f(file());
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    QVariant stored(const QString& group, const QString& key) const {
        QSettings settings(file(), QSettings::IniFormat);
        return settings.value(group + QLatin1Char('/') + key);
    }
    QStringList storedEntries(const QString& group, int row) const {
        QStringList entries;
        for (int e = 1; e <= 5; ++e)
            entries << stored(group, QStringLiteral("%1.%2.Descriptor").arg(row).arg(e)).toString();
        return entries;
    }
    void save(qv4000fp_fcEnterAddress& dialog, QStringList* descriptors = nullptr,
              QList<int>* fcNumbers = nullptr) {
        QStringList d{QStringLiteral("stale")};
        QList<int> n{42};
        dialog.saveDescriptors(d, n);
        if (descriptors)
            *descriptors = d;
        if (fcNumbers)
            *fcNumbers = n;
    }

private slots:
    void init() {
        // A fresh profile without the vendor folder: saving must create it.
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        qputenv("ALLUSERSPROFILE", m_dir->path().toLocal8Bit());
    }

    void fileLocation() {
        QCOMPARE(qv4000fp_descriptorFilePath(), file());
        ModelOnlyCard card(0x4720);
        QCOMPARE(qv4000fp_fcEnterAddress(&card).m_iniFile, file());

        const QString nested = m_dir->path() + QStringLiteral("/not/yet");
        qputenv("ALLUSERSPROFILE", nested.toLocal8Bit());
        qv4000fp_fcEnterAddress fresh(&card);
        save(fresh);
        QVERIFY(QFile::exists(nested + QStringLiteral("/Quorvel/DefaultInstrDescr.ini")));

        const QString fallback =
            QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
            QStringLiteral("/Quorvel/DefaultInstrDescr.ini");
        qputenv("ALLUSERSPROFILE", QByteArray());
        QCOMPARE(qv4000fp_descriptorFilePath(), fallback);
        qunsetenv("ALLUSERSPROFILE");
        QCOMPARE(qv4000fp_descriptorFilePath(), fallback);
        // Relative folders are ignored, as the XDG rules say.
        qputenv("ALLUSERSPROFILE", "profile");
        qputenv("XDG_CONFIG_HOME", "config");
        QCOMPARE(qv4000fp_descriptorFilePath(), fallback);
        qputenv("XDG_CONFIG_HOME", m_dir->path().toLocal8Bit());
        QCOMPARE(qv4000fp_descriptorFilePath(), file());
        qunsetenv("XDG_CONFIG_HOME");
    }

    // A link in place of the file is replaced, never written through.
    void linkIsReplacedNotFollowed() {
        QDir().mkpath(m_dir->path() + QStringLiteral("/Quorvel"));
        const QString victim = m_dir->filePath(QStringLiteral("victim"));
        writeFile("[4720]\n1.1.Descriptor=A\n");
        QVERIFY(QFile::rename(file(), victim));
        for (const QString& target : {victim, m_dir->filePath(QStringLiteral("absent"))}) {
            QFile::remove(file());
            QVERIFY(QFile::link(target, file()));
            ModelOnlyCard card(0x4720);
            qv4000fp_fcEnterAddress dialog(&card);
            dialog.loadDescriptors();
            save(dialog);
            QVERIFY(!QFileInfo(file()).isSymLink());
        }
        QFile f(victim);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), QByteArray("[4720]\n1.1.Descriptor=A\n"));
        QVERIFY(!QFile::exists(m_dir->filePath(QStringLiteral("absent"))));
    }

    // Panels that loaded the same file keep each other's new entries; bytes
    // of other sections, text or not, stay as they were.
    void savesMergeAndKeepOtherSections() {
        const QByteArray other = "[other]\nkey=\xff\xfe;\x01\n\n";
        writeFile(other + "[4720]\n1.1.Descriptor=A\n");
        ModelOnlyCard card(0x4720);
        qv4000fp_fcEnterAddress first(&card);
        qv4000fp_fcEnterAddress second(&card);
        first.loadDescriptors();
        second.loadDescriptors();
        first.m_rows[0]->m_descriptorCombo->setEditText(QStringLiteral("B"));
        second.m_rows[0]->m_descriptorCombo->setEditText(QStringLiteral("C"));
        save(first);
        save(second);
        QCOMPARE(storedEntries("4720", 1), (QStringList{"C", "B", "A", "", ""}));
        QVERIFY(fileBytes().startsWith(other));
    }

    // A lock that cannot be taken stops the save after a while, not forever,
    // and the operator hears of it once.
    void lockThatCannotBeTakenSaysSoOnce() {
        writeFile("[4720]\n1.1.Descriptor=A\n");
        const QByteArray before = fileBytes();
        QVERIFY(QDir().mkpath(file() + QStringLiteral(".lock")));
        ModelOnlyCard card(0x4720);
        qv4000fp_fcEnterAddress dialog(&card);
        dialog.loadDescriptors();
        dialog.m_rows[0]->m_descriptorCombo->setEditText(QStringLiteral("B"));
        ModalAnswerer answerer;
        answerer.handle([](QWidget* modal) { modal->close(); });
        QElapsedTimer timer;
        timer.start();
        QStringList descriptors;
        save(dialog, &descriptors);
        save(dialog);
        QVERIFY(timer.elapsed() < 3 * qv4000fp_descriptorStore::LockTimeoutMs);
        QCOMPARE(descriptors, QStringList{"B"});
        QCOMPARE(answerer.seen().size(), 1);
        QVERIFY(answerer.seen().first().text.startsWith(
            "The entered addresses cannot be remembered for the next time"));
        QCOMPARE(fileBytes(), before);
    }

    void singleCardForm() {
        ModelOnlyCard card(0x4720);
        qv4000fp_fcEnterAddress dialog(&card);
        QCOMPARE(dialog.windowTitle(),
                 QStringLiteral("Zelvan 4720 SFP: Enter Function Card Address"));
        QVERIFY(dialog.m_rows[0]);
        for (int i = 1; i < 8; ++i)
            QVERIFY(!dialog.m_rows[i]);
        QVERIFY(!hasCountLabel(&dialog));
        QVERIFY(dialog.m_countCombo->isHidden());

        // A hand-edited count of 3 still governs what is written back.
        writeFile("[4720]\nFC_Count=3\n");
        dialog.loadDescriptors();
        dialog.m_rows[0]->m_fcCombo->setCurrentIndex(2);
        QStringList descriptors;
        QList<int> numbers;
        save(dialog, &descriptors, &numbers);
        QCOMPARE(descriptors, QStringList{kDefault});
        QCOMPARE(numbers, QList<int>{2});

        QSettings settings(file(), QSettings::IniFormat);
        settings.beginGroup(QStringLiteral("4720"));
        QStringList keys = settings.childKeys();
        keys.sort();
        QCOMPARE(keys,
                 (QStringList{"1.1.Descriptor", "1.2.Descriptor", "1.3.Descriptor",
                              "1.4.Descriptor", "1.5.Descriptor", "1.FC_Number", "FC_Count"}));
        QCOMPARE(settings.value("FC_Count").toInt(), 3);
    }

    void multiCardForm() {
        ModelOnlyCard card(0x4860);
        qv4000fp_fcEnterAddress dialog(&card);
        QCOMPARE(dialog.windowTitle(),
                 QStringLiteral("Zelvan 4860 SFP: Enter Addresses of Function Cards"));
        QVERIFY(hasCountLabel(&dialog));
        dialog.loadDescriptors();
        for (int i = 0; i < 8; ++i) {
            QVERIFY(dialog.m_rows[i]);
            QCOMPARE(dialog.m_rows[i]->isEnabled(), i == 0);
            dialog.m_rows[i]->m_descriptorCombo->setEditText(
                QStringLiteral("VXI0::%1::INSTR").arg(i));
            dialog.m_rows[i]->m_fcCombo->setCurrentIndex(i + 1);
        }
        dialog.m_countCombo->setCurrentIndex(2);
        for (int i = 0; i < 8; ++i) {
            QCOMPARE(dialog.m_rows[i]->isEnabled(), i < 3);
            QVERIFY(!dialog.m_rows[i]->isHidden());
        }

        QStringList descriptors;
        QList<int> numbers;
        save(dialog, &descriptors, &numbers);
        QCOMPARE(descriptors, (QStringList{"VXI0::0::INSTR", "VXI0::1::INSTR", "VXI0::2::INSTR"}));
        QCOMPARE(numbers, (QList<int>{1, 2, 3}));
        QCOMPARE(stored("4860", "FC_Count").toInt(), 3);
        QCOMPARE(stored("4860", "8.FC_Number").toInt(), 8);
        QCOMPARE(storedEntries("4860", 8).first(), QStringLiteral("VXI0::7::INSTR"));

        qv4000fp_fcEnterAddress again(&card);
        again.loadDescriptors();
        QCOMPARE(again.m_countCombo->currentIndex(), 2);
        QVERIFY(!again.m_rows[5]->isEnabled());
        QCOMPARE(again.m_rows[5]->m_descriptorCombo->currentText(),
                 QStringLiteral("VXI0::5::INSTR"));
        QCOMPARE(again.m_rows[5]->m_fcCombo->currentIndex(), 6);
        // Rows past the first get no default descriptor.
        writeFile("[4860]\n1.1.Descriptor=\n2.1.Descriptor=\n");
        again.loadDescriptors();
        QCOMPARE(items(again.m_rows[0]->m_descriptorCombo), QStringList{kDefault});
        QCOMPARE(again.m_rows[1]->m_descriptorCombo->count(), 0);
        QVERIFY(again.m_rows[1]->m_descriptorCombo->currentText().isEmpty());
    }

    void defaultsWithoutFileOrSection() {
        ModelOnlyCard card(0x4720);
        qv4000fp_fcEnterAddress dialog(&card);
        for (const QByteArray& content : {QByteArray(), QByteArray("[4860]\nFC_Count=4\n")}) {
            if (!content.isEmpty())
                writeFile(content);
            dialog.loadDescriptors();
            QCOMPARE(items(dialog.m_rows[0]->m_descriptorCombo), QStringList{kDefault});
            QCOMPARE(dialog.m_rows[0]->m_descriptorCombo->currentText(), kDefault);
            QCOMPARE(dialog.m_rows[0]->m_fcCombo->currentIndex(), 0);
            QCOMPARE(dialog.m_countCombo->currentIndex(), 0);
            QCOMPARE(QFile::exists(file()), !content.isEmpty()); // reading creates nothing
        }
    }

    void emptyTextKeepsOlderEntries() {
        writeFile("[4720]\n1.1.Descriptor=A\n1.2.Descriptor=B\n1.FC_Number=4\n");
        ModelOnlyCard card(0x4720);
        qv4000fp_fcEnterAddress dialog(&card);
        dialog.loadDescriptors();
        dialog.m_rows[0]->m_descriptorCombo->setEditText(QString());
        dialog.m_rows[0]->m_fcCombo->setCurrentIndex(0);
        QStringList descriptors;
        QList<int> numbers;
        save(dialog, &descriptors, &numbers);
        QCOMPARE(descriptors, QStringList{QString()});
        QCOMPARE(numbers, QList<int>{0});
        QCOMPARE(storedEntries("4720", 1), (QStringList{"", "A", "B", "", ""}));
        dialog.loadDescriptors();
        QCOMPARE(items(dialog.m_rows[0]->m_descriptorCombo), (QStringList{kDefault, "A", "B"}));
    }

    void recentList_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("new text first, last one drops out")
            << "F" << QStringList{"F", "A", "B", "C", "D"};
        QTest::newRow("known text moves to the front")
            << "C" << QStringList{"C", "A", "B", "D", "E"};
        QTest::newRow("current text stays") << "A" << QStringList{"A", "B", "C", "D", "E"};
        QTest::newRow("case matters") << "a" << QStringList{"a", "A", "B", "C", "D"};
    }
    void recentList() {
        QFETCH(QString, typed);
        QFETCH(QStringList, expected);
        writeFile("[4720]\n1.1.Descriptor=A\n1.2.Descriptor=B\n1.3.Descriptor=C\n"
                  "1.4.Descriptor=D\n1.5.Descriptor=E\n");
        ModelOnlyCard card(0x4720);
        qv4000fp_fcEnterAddress dialog(&card);
        dialog.loadDescriptors();
        dialog.m_rows[0]->m_descriptorCombo->setEditText(typed);
        QStringList descriptors;
        save(dialog, &descriptors);
        QCOMPARE(descriptors, QStringList{typed});
        QCOMPARE(storedEntries("4720", 1), expected);
        dialog.loadDescriptors();
        QCOMPARE(items(dialog.m_rows[0]->m_descriptorCombo), expected);
    }

    void handEditedValues_data() {
        QTest::addColumn<QByteArray>("fcNumber");
        QTest::addColumn<int>("fcIndex");
        QTest::addColumn<QByteArray>("count");
        QTest::addColumn<int>("countIndex");
        QTest::newRow("valid") << QByteArray("8") << 8 << QByteArray("8") << 7;
        QTest::newRow("not numbers") << QByteArray("x") << 0 << QByteArray("abc") << 0;
        QTest::newRow("below range") << QByteArray("-3") << 0 << QByteArray("0") << 0;
        QTest::newRow("above range") << QByteArray("99") << 0 << QByteArray("9") << 0;
        QTest::newRow("empty") << QByteArray("") << 0 << QByteArray("") << 0;
    }
    void handEditedValues() {
        QFETCH(QByteArray, fcNumber);
        QFETCH(int, fcIndex);
        QFETCH(QByteArray, count);
        QFETCH(int, countIndex);
        writeFile("[4870]\n1.FC_Number=" + fcNumber + "\n2.FC_Number=" + fcNumber +
                  "\nFC_Count=" + count + "\n");
        ModelOnlyCard card(0x4870);
        qv4000fp_fcEnterAddress dialog(&card);
        dialog.loadDescriptors();
        QCOMPARE(dialog.m_rows[0]->m_fcCombo->currentIndex(), fcIndex);
        QCOMPARE(dialog.m_rows[1]->m_fcCombo->currentIndex(), fcIndex);
        QCOMPARE(dialog.m_countCombo->currentIndex(), countIndex);
        QList<int> numbers;
        save(dialog, nullptr, &numbers);
        QCOMPARE(numbers.first(), fcIndex); // never -1: the driver would get card 65535
        QCOMPARE(numbers.size(), countIndex + 1);
        QCOMPARE(stored("4870", "2.FC_Number").toInt(), fcIndex);
    }

    void corruptFileKeepsOtherSections() {
        QByteArray garbage;
        for (int i = 0; i < 512; ++i) {
            const char c = char(i * 7919 % 256);
            garbage.append(c == '"' ? 'q' : c); // an open quote would swallow the rest
        }
        writeFile("[other]\nkey=value\nlist=a, b\n1.1.Descriptor=\"x,y\"\n\n" + garbage +
                  "\n[4720]\n1.1.Descriptor=VXI0::1::INSTR, VXI0::2::INSTR\n1.FC_Number=x\n"
                  "FC_Count=\x01\xff\n[last]\nz=1\n");
        const QStringList otherKeys{"other/key", "other/list", "other/1.1.Descriptor", "last/z"};
        QSettings old(file(), QSettings::IniFormat);
        QVariantList oldValues;
        for (const QString& key : otherKeys) {
            oldValues << old.value(key);
            QVERIFY(oldValues.last().isValid());
        }

        ModelOnlyCard card(0x4720);
        qv4000fp_fcEnterAddress dialog(&card);
        dialog.loadDescriptors();
        // An unquoted value with commas reads as a list; its text is kept.
        QCOMPARE(dialog.m_rows[0]->m_descriptorCombo->currentText(),
                 QStringLiteral("VXI0::1::INSTR,VXI0::2::INSTR"));
        QCOMPARE(dialog.m_rows[0]->m_fcCombo->currentIndex(), 0);
        dialog.m_rows[0]->m_fcCombo->setCurrentIndex(5);
        save(dialog);

        QSettings now(file(), QSettings::IniFormat);
        for (int i = 0; i < otherKeys.size(); ++i)
            QCOMPARE(now.value(otherKeys[i]), oldValues[i]);
        QCOMPARE(now.value("4720/1.FC_Number").toInt(), 5);
        QCOMPARE(now.value("4720/FC_Count").toInt(), 1);
    }

    // A quote left open on the file's last line runs to its end: a section
    // added after it would be read as part of that value.
    void newSectionIsNotSwallowed_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("otherKey");
        QTest::newRow("open quote in another section")
            << QByteArray("[4860]\n1.1.Descriptor=\"VXI0::1\n")
            << QStringLiteral("4860/1.1.Descriptor");
        QTest::newRow("open quote before any section")
            << QByteArray("\xEF\xBB\xBFkey=\"a\n") << QStringLiteral("key");
        QTest::newRow("keys before any section") << QByteArray("key=a\n") << QStringLiteral("key");
    }

    void newSectionIsNotSwallowed() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, otherKey);
        writeFile(bytes);
        const QVariant before = QSettings(file(), QSettings::IniFormat).value(otherKey);
        ModelOnlyCard card(0x4720);
        qv4000fp_fcEnterAddress dialog(&card);
        dialog.loadDescriptors();
        dialog.m_rows[0]->m_descriptorCombo->setEditText(QStringLiteral("B"));
        save(dialog);
        QCOMPARE(storedEntries("4720", 1).first(), QStringLiteral("B"));
        QCOMPARE(QSettings(file(), QSettings::IniFormat).value(otherKey), before);
    }

    void modelBelow0x1000RoundTrips() {
        writeFile("[4720]\n1.1.Descriptor=keep\n");
        ModelOnlyCard card(0x123);
        qv4000fp_fcEnterAddress dialog(&card);
        QCOMPARE(dialog.m_group, QStringLiteral(" 123"));
        dialog.loadDescriptors();
        dialog.m_rows[0]->m_descriptorCombo->setEditText(QStringLiteral("ASRL1::INSTR"));
        save(dialog);
        qv4000fp_fcEnterAddress again(&card);
        again.loadDescriptors();
        QCOMPARE(again.m_rows[0]->m_descriptorCombo->currentText(), QStringLiteral("ASRL1::INSTR"));
        QCOMPARE(stored(" 123", "1.1.Descriptor").toString(), QStringLiteral("ASRL1::INSTR"));
        QCOMPARE(stored("4720", "1.1.Descriptor").toString(), QStringLiteral("keep"));
    }

    void modalRun_data() {
        QTest::addColumn<QString>("how");
        QTest::addColumn<int>("result");
        QTest::newRow("OK") << "OK" << int(QDialog::Accepted);
        QTest::newRow("Cancel") << "Cancel" << int(QDialog::Rejected);
        QTest::newRow("Escape") << "Escape" << int(QDialog::Rejected);
        QTest::newRow("close") << "close" << int(QDialog::Rejected);
    }
    void modalRun() {
        QFETCH(QString, how);
        QFETCH(int, result);
        writeFile("[4720]\n1.1.Descriptor=VXI0::1::INSTR\n1.FC_Number=1\nFC_Count=1\n");
        const QByteArray before = fileBytes();
        ModelOnlyCard card(0x4720);
        qv4000fp_fcEnterAddress dialog(&card);
        dialog.loadDescriptors();

        ModalAnswerer answerer;
        answerer.handle([how](QWidget* modal) {
            auto* row = static_cast<qv4000fp_fcEnterAddress*>(modal)->m_rows[0];
            QLineEdit* edit = row->m_descriptorCombo->lineEdit();
            edit->selectAll();
            QTest::keyClicks(edit, QStringLiteral("VXI0::7::INSTR"));
            row->m_fcCombo->setCurrentIndex(3);
            if (how == QLatin1String("Escape"))
                QTest::keyClick(modal, Qt::Key_Escape);
            else if (how == QLatin1String("close"))
                modal->close();
            else
                clickButton(modal, how);
        });
        QCOMPARE(dialog.exec(), result);
        QCOMPARE(answerer.seen().size(), 1);
        QVERIFY(answerer.unexpected().isEmpty());
        QCOMPARE(answerer.seen().first().title,
                 QStringLiteral("Zelvan 4720 SFP: Enter Function Card Address"));
        QCOMPARE(fileBytes(), before); // exec alone never writes

        if (result == QDialog::Accepted) {
            QStringList descriptors;
            QList<int> numbers;
            save(dialog, &descriptors, &numbers);
            QCOMPARE(descriptors, QStringList{"VXI0::7::INSTR"});
            QCOMPARE(numbers, QList<int>{3});
            QCOMPARE(storedEntries("4720", 1),
                     (QStringList{"VXI0::7::INSTR", "VXI0::1::INSTR", "", "", ""}));
        }
    }
};

QTEST_MAIN(AddressEntryTest)
#include "tst_addressentry.moc"
