#include "model/DocTestSupport.h"
#include "model/Factory.h"
#include "model/FileParts.h"
#include "model/ModelTestUtil.h"
#include "model/PayloadCipher.h"
#include "platform/MemFile.h"
#include "platform/Shell.h"
#include "storage/Field.h"
#include "storage/KivCursor.h"
#include "storage/Row.h"
#include "storage/SQLiteBinary.h"
#include "storage/SQLiteBuffer.h"
#include "storage/SQLiteDatabase.h"

#include <gtest/gtest.h>

#include <QJsonArray>

#include <sys/stat.h>

namespace {

using txtest::PatternBytes;
using txtest::ReadFile;
using txtest::WriteFile;

constexpr std::size_t kPart = CFileParts::kPartSize;

class DocAttachment : public txtest::DocFixture {
protected:
    void SetUp() override {
        TX_REQUIRE_FIXTURES();
        ASSERT_TRUE(OpenSample());
        m_file = m_doc.CreateNewObject(CLSID_FileItem, 6, "Scan");
        ASSERT_GT(m_file, 0);
    }

    // Stores bytes into the test's file record through a file on disk.
    bool Store(const std::string& bytes, int id = 0) {
        std::filesystem::path source = m_dir / "source.bin";
        WriteFile(source, bytes);
        return CFileParts::StoreFile(source.string(), id ? id : m_file, m_doc.GetTresorix().Get());
    }

    std::string Load(int id = 0) {
        std::filesystem::path target = m_dir / "target.bin";
        EXPECT_TRUE(
            CFileParts::SaveFileTo(target.string(), id ? id : m_file, m_doc.GetTresorix().Get()));
        return ReadFile(target);
    }

    // The plaintext length of every stored part, in part order.
    std::vector<std::size_t> PartLengths(int id = 0) {
        std::vector<std::size_t> lengths;
        CSQLiteBuffer sql;
        CursorPtr cursor(m_doc.GetDatabase()->Query(
            sql.Format("select data from tresorix_data where id_parent = %d order by part asc",
                       id ? id : m_file)));
        CRow* raw = nullptr;
        while (cursor && cursor->Fetch(raw) == 0) {
            RowPtr row(raw);
            FieldPtr field(row->GetField(0));
            BinaryPtr bytes(field->AsBinary());
            CMemFile plain;
            EXPECT_TRUE(DecryptPayload(
                bytes->GetData(), static_cast<std::size_t>(bytes->GetLength()), KeyText(), plain));
            lengths.push_back(static_cast<std::size_t>(plain.GetLength()));
        }
        return lengths;
    }

    int m_file = 0;
};

TEST_F(DocAttachment, PartBoundaries) {
    std::string exact = PatternBytes(kPart, 1);
    ASSERT_TRUE(Store(exact));
    EXPECT_EQ(PartLengths(), (std::vector<std::size_t>{kPart}));
    EXPECT_EQ(Load(), exact);

    std::string oneMore = PatternBytes(kPart + 1, 2);
    ASSERT_TRUE(Store(oneMore));
    EXPECT_EQ(PartLengths(), (std::vector<std::size_t>{kPart, 1}));
    EXPECT_EQ(Load(), oneMore);
    EXPECT_TRUE(m_messages.Messages().empty());
}

TEST_F(DocAttachment, EmptyFileHasNoPartsAndWritesBackEmpty) {
    ASSERT_TRUE(Store(PatternBytes(1000, 3)));
    ASSERT_TRUE(Store(""));
    EXPECT_TRUE(PartLengths().empty());
    WriteFile(m_dir / "target.bin", "old contents");
    EXPECT_EQ(Load(), "");
}

TEST_F(DocAttachment, StoringAgainReplacesEveryPart) {
    ASSERT_TRUE(Store(PatternBytes(3 * kPart - 10, 4)));
    EXPECT_EQ(PartLengths().size(), 3u);
    std::string small = PatternBytes(777, 5);
    ASSERT_TRUE(Store(small));
    EXPECT_EQ(PartLengths(), (std::vector<std::size_t>{777}));
    EXPECT_EQ(Load(), small);
    // Other records' parts are untouched.
    EXPECT_EQ(PartLengths(25), (std::vector<std::size_t>{kPart, 700000 - kPart}));
}

TEST_F(DocAttachment, FixtureContentsReadBack) {
    QJsonObject manifest = txtest::LoadManifest("sample");
    for (const QJsonValue& node : manifest.value("tree").toArray()) {
        QJsonObject entry = node.toObject();
        QJsonObject attachment = entry.value("attachment").toObject();
        if (attachment.isEmpty())
            attachment = entry.value("record").toObject().value("attachment").toObject();
        if (attachment.isEmpty())
            continue;
        int id = entry.value("id").toInt();
        std::string bytes = Load(id);
        EXPECT_EQ(bytes.size(), static_cast<std::size_t>(attachment.value("length").toInt())) << id;
        EXPECT_EQ(txtest::Sha256Hex(bytes), attachment.value("sha256").toString().toStdString())
            << id;
    }
}

TEST_F(DocAttachment, FailedStoreKeepsPreviousParts) {
    std::string original = PatternBytes(kPart + 100, 6);
    ASSERT_TRUE(Store(original));
    m_messages.Clear();

    EXPECT_FALSE(
        CFileParts::StoreFile((m_dir / "missing.bin").string(), m_file, m_doc.GetTresorix().Get()));
    EXPECT_FALSE(CFileParts::StoreFile(m_dir.Path().string(), m_file, m_doc.GetTresorix().Get()));
    EXPECT_EQ(m_messages.Messages().size(), 2u);

    // Another connection holds the file open for reading, so the write cannot go through.
    CSQLiteDatabase reader;
    reader.Open(m_path.string());
    reader.BeginTransaction();
    CursorPtr cursor(reader.Query("select id from tresorix_data"));
    CRow* raw = nullptr;
    ASSERT_EQ(cursor->Fetch(raw), 0);
    RowPtr(raw).reset();
    m_messages.Clear();
    EXPECT_FALSE(Store(PatternBytes(2 * kPart + 5, 7)));
    ASSERT_FALSE(m_messages.Messages().empty());
    EXPECT_EQ(m_messages.Messages()[0].flags & MB_ICONSTOP, MB_ICONSTOP);
    cursor.reset();
    reader.RollbackTransaction();
    reader.Close();

    EXPECT_EQ(PartLengths(), (std::vector<std::size_t>{kPart, 100}));
    EXPECT_EQ(Load(), original);
}

TEST_F(DocAttachment, FailedSaveLeavesTargetAlone) {
    ASSERT_TRUE(Store(PatternBytes(5000, 8)));
    EXPECT_FALSE(CFileParts::SaveFileTo((m_dir / "no" / "such" / "dir.bin").string(), m_file,
                                        m_doc.GetTresorix().Get()));
    ASSERT_EQ(m_messages.Messages().size(), 1u);
    EXPECT_EQ(m_messages.Messages()[0].text, "Cannot open target file.");

    // A replaced target is owner-only, whatever it was before.
    std::filesystem::path target = m_dir / "target.bin";
    WriteFile(target, "readable by all");
    std::filesystem::permissions(target, std::filesystem::perms::all);
    EXPECT_EQ(Load(), PatternBytes(5000, 8));
    struct stat info;
    ASSERT_EQ(::stat(target.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);

    WriteFile(target, "precious");
    CSQLiteDatabase closed;
    EXPECT_FALSE(CFileParts::SaveFileTo(target.string(), m_file, closed, KeyText()));
    EXPECT_EQ(ReadFile(target), "precious");
    // No half-written sibling is left behind.
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(m_dir.Path()))
        files += entry.path().filename().string().rfind(".trx-", 0) == 0;
    EXPECT_EQ(files, 0);
}

TEST_F(DocAttachment, OpenedCopyStaysInsidePrivateFolder) {
    TComPtr<ITreeItem> node = m_doc.GetNode(m_file);
    TComPtr<IFileProperties> file = GetFileProperties(node->GetData());
    ASSERT_TRUE(file);
    file->SetFileName("../../../escape");
    file->SetExtension("/../.profile");
    node->SetData(file.As<IUnknown>().Get());
    std::string bytes = PatternBytes(3000, 10);
    ASSERT_TRUE(Store(bytes));

    CScopedShellRecorder shell;
    ASSERT_TRUE(m_doc.OpenFileItem(m_file));
    ASSERT_EQ(shell.Calls().size(), 1u);
    std::filesystem::path copy = shell.Calls()[0].target;
    std::filesystem::path folder = m_doc.GetTempFolder().GetPath();
    EXPECT_EQ(copy.parent_path(), folder);
    EXPECT_EQ(ReadFile(copy), bytes);
    struct stat info;
    ASSERT_EQ(::stat(copy.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    ASSERT_EQ(::stat(folder.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);
    EXPECT_EQ(m_doc.GetFileWatcher().GetWatches().size(), 1u);

    // Opening it again asks before overwriting; No leaves everything as it is.
    m_messages.Script({IDNO});
    EXPECT_FALSE(m_doc.OpenFileItem(m_file));
    EXPECT_EQ(shell.Calls().size(), 1u);
    ASSERT_FALSE(m_messages.Messages().empty());
    EXPECT_NE(m_messages.Messages().back().text.find("already exists or executed"),
              std::string::npos);

    // Logging out deletes every temporary copy.
    ASSERT_TRUE(m_doc.Logout());
    EXPECT_FALSE(std::filesystem::exists(copy));
}

TEST_F(DocAttachment, TemporaryFolderFailureIsReported) {
    WriteFile(m_dir / "blocker", "x");
    m_doc.SetTempFolderBase((m_dir / "blocker").string());
    CScopedShellRecorder shell;
    EXPECT_FALSE(m_doc.OpenFileItem(m_file));
    ASSERT_EQ(m_messages.Messages().size(), 1u);
    EXPECT_EQ(m_messages.Messages()[0].text.rfind("Cannot execute file.\nError  ", 0), 0u);
    EXPECT_TRUE(shell.Calls().empty());
}

} // namespace
