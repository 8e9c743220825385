// Fuzzes the descriptor file: arbitrary INI text is put where the address
// entry dialogs keep their file, then the single-card dialog (section "4720")
// and the eight-row dialog (section "4860") load it, save it and load the
// saved file again. Checked: nothing crashes, what is loaded is within range,
// and, where the file's names are plain, the saved file loads back to the rows
// that were saved and saving one model's section leaves the other model's rows
// as they were.
#include "FuzzCheck.h"
#include "ModelOnlyCard.h"
#include "qv4000fp_fcEnterAddress.h"
#include "qv4000fp_fcEnterAddressFc.h"
#include "qv4000fp_genFC.h"

#include <QApplication>
#include <QComboBox>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QStringList>

#include <algorithm>
#include <cstdlib>

namespace {
struct RowState {
    QStringList items;
    QString current;
    int fcIndex = 0;
    bool operator==(const RowState& o) const {
        return items == o.items && current == o.current && fcIndex == o.fcIndex;
    }
};

struct DialogState {
    QList<RowState> rows;
    int countIndex = 0;
    bool operator==(const DialogState& o) const {
        return rows == o.rows && countIndex == o.countIndex;
    }
};

// Everything here lives for the whole process: libFuzzer leaves through exit().
struct Fixture {
    ModelOnlyCard* singleCard = nullptr;
    ModelOnlyCard* multiCard = nullptr;
    qv4000fp_fcEnterAddress* single = nullptr;
    qv4000fp_fcEnterAddress* multi = nullptr;
    QString folder;
};

Fixture& fixture() {
    static Fixture f;
    return f;
}

// Reads the dialog's rows and checks what any load must leave.
DialogState capture(const qv4000fp_fcEnterAddress* dialog) {
    DialogState state;
    state.countIndex = dialog->m_countCombo->currentIndex();
    FUZZ_CHECK(state.countIndex >= 0 && state.countIndex < 8, "count out of range");
    for (int i = 0; i < qv4000fp_fcEnterAddress::MaxRows && dialog->m_rows[i]; ++i) {
        const qv4000fp_fcEnterAddressFc* row = dialog->m_rows[i];
        RowState r;
        for (int item = 0; item < row->m_descriptorCombo->count(); ++item)
            r.items << row->m_descriptorCombo->itemText(item);
        r.current = row->m_descriptorCombo->currentText();
        r.fcIndex = row->m_fcCombo->currentIndex();
        FUZZ_CHECK(r.items.size() <= 5, "a row holds more than five recent descriptors");
        FUZZ_CHECK(!r.items.contains(QString()), "an empty recent descriptor was listed");
        FUZZ_CHECK(i > 0 || !r.items.isEmpty(), "row 1 offers no descriptor");
        FUZZ_CHECK(r.items.isEmpty() ? r.current.isEmpty() : r.current == r.items.front(),
                   "a row does not show its first recent descriptor");
        FUZZ_CHECK(r.fcIndex >= 0 && r.fcIndex <= 8, "function card number out of range");
        FUZZ_CHECK(row->isEnabled() == (i <= state.countIndex),
                   "a row's enabling does not follow the count");
        state.rows << r;
    }
    return state;
}

// What a save writes for the rows: each row's recent list, without repeats.
DialogState saved(const DialogState& state) {
    DialogState result = state;
    for (RowState& row : result.rows) {
        QStringList recent = QStringList{row.current} + row.items;
        recent.removeDuplicates();
        row.items = recent.mid(0, 5);
        row.current.clear();
    }
    return result;
}

// Every file gets its own made-up modification time, so the settings store
// never takes a freshly written file for the one it read before.
void writeFile(const QString& path, const QByteArray& bytes) {
    static qint64 stamp = 946684800; // 2000-01-01
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    FUZZ_CHECK(file.open(QIODevice::WriteOnly | QIODevice::Truncate), "cannot write the file");
    FUZZ_CHECK(file.write(bytes) == bytes.size() && file.flush(), "cannot write the file");
    // After the flush: writing the bytes would set the time to now again.
    file.setFileTime(QDateTime::fromSecsSinceEpoch(++stamp), QFileDevice::FileModificationTime);
}

// Makes the next load parse the file's bytes rather than the store's memory.
void touchFile(const QString& path) {
    QFile file(path);
    FUZZ_CHECK(file.open(QIODevice::ReadOnly), "the saved file is missing");
    const QByteArray bytes = file.readAll();
    file.close();
    writeFile(path, bytes);
}

// Section or key names that the settings store reads as paths: a "/", "\" or
// "%" escape in a section name, a section header without its "]", or a group
// separator in a key. The store reads such files lazily section by section and
// rewrites them under other names, so it can disagree with itself about them
// ("[/4720]" comes back as "4720\..." keys under [General] next to [4720]).
// For those files only crashes and ranges are checked.
bool namesPaths(QByteArray ini) {
    for (QByteArray line : ini.replace('\r', '\n').split('\n')) {
        line = line.trimmed();
        if (line.startsWith('[')) {
            const qsizetype close = line.indexOf(']');
            const QByteArray name = line.mid(1, close - 1);
            if (close < 0 || name.contains('/') || name.contains('\\') || name.contains('%'))
                return true;
        } else if (line.left(qMax<qsizetype>(line.indexOf('='), 0)).contains('\\')) {
            return true;
        }
    }
    return false;
}

DialogState load(qv4000fp_fcEnterAddress* dialog) {
    dialog->loadDescriptors();
    return capture(dialog);
}

// Saves, checks what the save returns, and reloads from the file written.
DialogState saveAndReload(qv4000fp_fcEnterAddress* dialog, const DialogState& before) {
    QStringList descriptors{QStringLiteral("stale")};
    QList<int> fcNumbers{-1};
    dialog->saveDescriptors(descriptors, fcNumbers);
    const int counted = std::min<int>(before.countIndex + 1, before.rows.size());
    FUZZ_CHECK(descriptors.size() == counted && fcNumbers.size() == counted,
               "the save did not return exactly the counted rows");
    for (int i = 0; i < counted; ++i) {
        FUZZ_CHECK(descriptors[i] == before.rows[i].current, "a returned descriptor differs");
        FUZZ_CHECK(fcNumbers[i] == before.rows[i].fcIndex, "a returned card number differs");
    }
    touchFile(dialog->m_iniFile);
    return load(dialog);
}

void removeFolder() {
    QDir(fixture().folder).removeRecursively();
}

// The dialogs' file must never be the operator's: a private folder stands in
// for the all-users profile, inside the one given, if any.
void usePrivateProfileFolder() {
    QByteArray base = qgetenv("ALLUSERSPROFILE");
    if (base.isEmpty())
        base = QDir::tempPath().toLocal8Bit();
    QDir().mkpath(QString::fromLocal8Bit(base));
    QByteArray pattern = base + "/descriptor-file-fuzz-XXXXXX";
    FUZZ_CHECK(mkdtemp(pattern.data()) != nullptr, "cannot make a private folder");
    fixture().folder = QString::fromLocal8Bit(pattern);
    qputenv("ALLUSERSPROFILE", pattern);
    std::atexit(removeFolder);
}
} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    usePrivateProfileFolder();
    new QApplication(*argc, *argv);
    fixture().singleCard = new ModelOnlyCard(0x4720);
    fixture().multiCard = new ModelOnlyCard(0x4860);
    fixture().single = new qv4000fp_fcEnterAddress(fixture().singleCard);
    fixture().multi = new qv4000fp_fcEnterAddress(fixture().multiCard);
    FUZZ_CHECK(fixture().single->m_iniFile == fixture().multi->m_iniFile,
               "the two models use different files");
    FUZZ_CHECK(fixture().single->m_iniFile.startsWith(fixture().folder),
               "the file is not in the private folder");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    qv4000fp_fcEnterAddress* single = fixture().single;
    qv4000fp_fcEnterAddress* multi = fixture().multi;
    const QByteArray input(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    writeFile(single->m_iniFile, input);
    const bool sameNames = !namesPaths(input);

    const DialogState singleLoaded = load(single);
    const DialogState multiLoaded = load(multi);
    FUZZ_CHECK(singleLoaded.rows.size() == 1 && multiLoaded.rows.size() == 8,
               "a dialog has the wrong number of rows");

    const DialogState singleReloaded = saveAndReload(single, singleLoaded);
    const DialogState multiAfterSingle = load(multi);
    const DialogState multiReloaded = saveAndReload(multi, multiAfterSingle);
    const DialogState singleAfterMulti = load(single);
    if (!sameNames)
        return 0;
    FUZZ_CHECK(saved(singleReloaded) == saved(singleLoaded),
               "the single-card rows do not load back as saved");
    FUZZ_CHECK(multiAfterSingle == multiLoaded, "saving one model changed another model's rows");
    FUZZ_CHECK(saved(multiReloaded) == saved(multiLoaded),
               "the eight rows do not load back as saved");
    FUZZ_CHECK(singleAfterMulti == singleReloaded, "saving one model changed another model's rows");
    return 0;
}
