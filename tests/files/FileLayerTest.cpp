#include "AtomicFile.h"
#include "LocalFileLayer.h"
#include "PosixFiles.h"
#include "TestFolders.h"

#include <QDir>
#include <QFileInfo>
#include <QtTest>
#include <csignal>
#include <fcntl.h>
#include <linux/capability.h>
#include <optional>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

// Hinders writes for the life of the object: sets the mode of a path (none for an empty path)
// and holds this thread to file modes even as root, by dropping the capabilities that pass every
// permission check; and lets no write make a file larger than a size, as a full disk would.
class Hindrance {
public:
    Hindrance(const QString& path, mode_t mode, rlim_t largestFile = RLIM_INFINITY)
        : m_path(QFile::encodeName(path)) {
        struct stat old {};
        if (!m_path.isEmpty() && ::stat(m_path.constData(), &old) == 0) {
            m_oldMode = old.st_mode & 07777;
            ::chmod(m_path.constData(), mode);
        }
        ::getrlimit(RLIMIT_FSIZE, &m_oldLimit);
        std::signal(SIGXFSZ, SIG_IGN); // the write fails instead of ending the test
        const rlimit limit{largestFile, m_oldLimit.rlim_max};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        if (::geteuid() != 0 || ::syscall(SYS_capget, &m_header, m_saved) != 0)
            return;
        __user_cap_data_struct held[2] = {m_saved[0], m_saved[1]};
        for (int capability : {CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH})
            held[capability / 32].effective &= ~(1u << (capability % 32));
        m_dropped = ::syscall(SYS_capset, &m_header, held) == 0;
    }
    ~Hindrance() {
        if (m_dropped)
            ::syscall(SYS_capset, &m_header, m_saved);
        ::setrlimit(RLIMIT_FSIZE, &m_oldLimit);
        if (m_oldMode)
            ::chmod(m_path.constData(), *m_oldMode);
    }
    bool enforced() const { return ::geteuid() != 0 || m_dropped; }

private:
    QByteArray m_path;
    std::optional<mode_t> m_oldMode;
    rlimit m_oldLimit{};
    __user_cap_header_struct m_header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct m_saved[2]{};
    bool m_dropped = false;
};

const QByteArray kOld = "the file that was there";
constexpr qint64 kModified = 978307200;  // 2001-01-01 00:00:00 UTC
constexpr qint64 kAccessed = 1009843200; // 2002-01-01 00:00:00 UTC

// A source picture src/a.bmp, a target folder dst holding old.bmp, both of mode 0640, and a link
// "link" to old.bmp. The source was last read in 2002 and last modified in 2001, so that the two
// cannot be confused.
struct CopyScene {
    TestFolder folder;
    QByteArray contents = QByteArray(qsizetype{300} * 1024, 'x') + "end";
    QString source = folder.write("src/a.bmp", contents);
    QString old = folder.write("dst/old.bmp", kOld);

    CopyScene() {
        for (const QString& path : {source, old})
            ::chmod(QFile::encodeName(path).constData(), 0640);
        const timespec times[2] = {{kAccessed, 0}, {kModified, 0}};
        ::utimensat(AT_FDCWD, QFile::encodeName(source).constData(), times, 0);
        QFile::link(old, folder.filePath("link"));
    }
    // Every entry of the target folder, hidden ones included, so a left-over file shows.
    QStringList targets() const {
        return QDir(folder.filePath("dst"))
            .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
    }
};

} // namespace

class FileLayerTest : public QObject {
    Q_OBJECT

private slots:
    // A copy, or with "link" for target a whole-file write of the source's contents through the
    // link: when it fails, nothing new and nothing half-written is left, and the old file is
    // untouched.
    void copy_data() {
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("target");
        QTest::addColumn<bool>("overwrite");
        // Given mode 0, 0444 or 0555 by its kind; "disk" lets the disk fill up half-way.
        QTest::addColumn<QString>("locked");
        QTest::addColumn<int>("code");
        const QString a = "src/a.bmp", old = "dst/old.bmp";
        QTest::newRow("new name") << a << "dst/new.bmp" << false << "" << 0;
        QTest::newRow("replacing") << a << old << true << "" << 0;
        QTest::newRow("existing, no overwrite") << a << old << false << "" << 5;
        QTest::newRow("source missing") << "src/gone.bmp" << old << true << "" << 1;
        QTest::newRow("itself, separator doubled") << a << "src//a.bmp" << true << "" << 8;
        QTest::newRow("onto a folder") << a << "dst" << true << "" << 7;
        QTest::newRow("read-only target folder") << a << old << true << "dst" << 2;
        QTest::newRow("unreadable source") << a << old << true << a << 2;
        QTest::newRow("write-protected target") << a << old << true << old << 2;
        QTest::newRow("disk full") << a << old << true << "disk" << 4;
        QTest::newRow("whole-file write") << a << "link" << true << "" << 0;
        QTest::newRow("whole-file write, disk full") << a << "link" << true << "disk" << 4;
        QTest::newRow("whole-file write, read-only folder") << a << "link" << true << "dst" << 2;
    }

    void copy() {
        QFETCH(QString, source);
        QFETCH(QString, target);
        QFETCH(bool, overwrite);
        QFETCH(QString, locked);
        QFETCH(int, code);
        CopyScene scene;
        const QStringList before = scene.targets();
        FileResult result;
        {
            const bool full = locked == "disk";
            const QString lockedPath =
                locked.isEmpty() || full ? QString() : scene.folder.filePath(locked);
            const mode_t mode = locked == "dst" ? 0555 : locked == source ? 0 : 0444;
            const Hindrance hindrance(lockedPath, mode, full ? rlim_t{64} * 1024 : RLIM_INFINITY);
            if (!hindrance.enforced())
                QSKIP("file modes cannot be enforced here");
            if (target == "link")
                result = AtomicFile::write(scene.folder.filePath(target), scene.contents);
            else
                result = LocalFileLayer().copy(scene.folder.filePath(source),
                                               scene.folder.filePath(target), overwrite,
                                               [](qint64, qint64) {});
        }
        QCOMPARE(result.code(), code);
        QCOMPARE(scene.folder.read("src/a.bmp"), scene.contents);
        if (code != 0) {
            QCOMPARE(scene.targets(), before);
            QCOMPARE(scene.folder.read("dst/old.bmp"), kOld);
            return;
        }
        QCOMPARE(scene.folder.read(target), scene.contents);
        const QFileInfo written(scene.folder.filePath(target));
        QCOMPARE(written.permissions(), QFileInfo(scene.source).permissions());
        QCOMPARE(scene.targets().size(), before.size() + (overwrite ? 0 : 1));
        if (target == "link") { // the link stays, the file it names holds the contents
            QVERIFY(QFileInfo(scene.folder.filePath("link")).isSymLink());
            return;
        }
        QCOMPARE(written.lastModified().toSecsSinceEpoch(), kModified);
    }

    void rename_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("newName");
        QTest::addColumn<bool>("byLink"); // the fallback where the no-replace rename is missing
        QTest::addColumn<int>("code");
        for (const bool byLink : {false, true}) {
            const char* how = byLink ? " (by link)" : "";
            QTest::addRow("letter case only%s", how)
                << "Photo.JPG" << QString("photo.jpg") << byLink << 0;
            QTest::addRow("name taken after a check%s", how)
                << "Photo.JPG" << QString("other.jpg") << byLink << 5;
            QTest::addRow("missing file%s", how) << "gone.jpg" << QString("new.jpg") << byLink << 1;
        }
        for (const char* name : {"sub/x.jpg", ".", "..", ""})
            QTest::addRow("new name \"%s\"", name) << "Photo.JPG" << name << false << 6;
    }

    void rename() {
        QFETCH(QString, name);
        QFETCH(QString, newName);
        QFETCH(bool, byLink);
        QFETCH(int, code);
        TestFolder folder;
        folder.write("Photo.JPG", "photo");
        folder.write("other.jpg", "other");
        folder.makeFolder("sub");
        const auto byLinks = [&] {
            const PosixFiles::Descriptor dir(
                ::open(QFile::encodeName(folder.path()).constData(), O_RDONLY | O_DIRECTORY));
            return PosixFiles::linkThenUnlink(dir.get(), QFile::encodeName(name), dir.get(),
                                              QFile::encodeName(newName));
        };
        const FileResult result =
            byLink ? byLinks() : LocalFileLayer().rename(folder.path(), name, newName);
        QCOMPARE(result.code(), code);
        QCOMPARE(folder.read("other.jpg"), QByteArray("other"));
        QCOMPARE(folder.read(code == 0 ? newName : "Photo.JPG"), QByteArray("photo"));
        QCOMPARE(QDir(folder.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).size(), 3);
    }
};

QTEST_GUILESS_MAIN(FileLayerTest)
#include "FileLayerTest.moc"
