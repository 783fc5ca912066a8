// The large-photo benchmark: how long a dropped 24-megapixel picture takes
// until its cell is painted, how much memory a board of nine such JPEGs
// holds, and how long saving the board takes, each side by side with the
// same work done by the usual command-line tools on the same files.
//
//   mosaica_bench [--runs N] [--keep DIR]
//
// It makes its inputs in a temporary folder (or in DIR, which it keeps),
// runs everything in one go and prints one table. Not part of the tests.
#include "Inputs.h"

#include "Exceptions.h"
#include "ExtCtrls.h"
#include "Forms.h"
#include "Graphics.h"
#include "JpegCodec.h"
#include "MainWindow1.h"
#include "Stretch.h"

#include <QApplication>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QFile>
#include <QMessageBox>
#include <QMimeData>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <QWidget>
#include <QWindow>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <memory>
#include <sched.h>
#include <spawn.h>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

constexpr int kWidth = 6000;
constexpr int kHeight = 4000;
constexpr int kPhotoQuality = 90;
constexpr int kSaveQuality = 80;
constexpr const char* kConvert = "/usr/bin/convert"; // ImageMagick's own, not a stand-in on the path

using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    return n == 0 ? 0 : n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

double MiB(double bytes)
{
    return bytes / (1024.0 * 1024.0);
}

long long FileSize(const std::string& path)
{
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? static_cast<long long>(st.st_size) : -1;
}

bool Executable(const std::string& path)
{
    return ::access(path.c_str(), X_OK) == 0;
}

// ---- Other programs ---------------------------------------------------------

// Runs a program with its output thrown away (or, with `output`, its standard
// output collected), waits for it, and gives how long that took.
double Run(const std::vector<std::string>& args, bool* ok, std::string* output = nullptr)
{
    std::vector<char*> argv;
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    int pipeFds[2] = {-1, -1};
    if (output && ::pipe(pipeFds) != 0)
        throw Exception("cannot make a pipe");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (output) {
        posix_spawn_file_actions_adddup2(&actions, pipeFds[1], 1);
        posix_spawn_file_actions_addclose(&actions, pipeFds[0]);
        posix_spawn_file_actions_addclose(&actions, pipeFds[1]);
    } else {
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    }
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    const Clock::time_point start = Clock::now();
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (output) {
        ::close(pipeFds[1]);
        char buffer[4096];
        ssize_t n;
        while (spawned == 0 && (n = ::read(pipeFds[0], buffer, sizeof buffer)) > 0)
            output->append(buffer, static_cast<std::size_t>(n));
        ::close(pipeFds[0]);
    }
    int status = 0;
    if (spawned == 0)
        ::waitpid(pid, &status, 0);
    const double seconds = SecondsSince(start);
    *ok = spawned == 0 && WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return seconds;
}

// The median time of `runs` runs, after one run to warm up; -1 if the
// program is missing or fails.
double TimeProgram(const std::vector<std::string>& args, int runs)
{
    if (!Executable(args.front()))
        return -1;
    bool ok = false;
    Run(args, &ok);
    if (!ok)
        return -1;
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        times.push_back(Run(args, &ok));
        if (!ok)
            return -1;
    }
    return Median(times);
}

// ---- The board window ---------------------------------------------------------

void Settle()
{
    for (int i = 0; i < 3; ++i)
        QApplication::processEvents(QEventLoop::AllEvents, 10);
}

// Answers any message box at once: the benchmark's files should raise none,
// and one that did would otherwise wait for a person.
class BoxAnswerer {
public:
    BoxAnswerer()
    {
        timer_.setInterval(50);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                std::fprintf(stderr, "message box: %s\n", box->text().toUtf8().constData());
                failed = true;
                box->done(0);
            }
        });
        timer_.start();
    }
    bool failed = false;

private:
    QTimer timer_;
};

TImage* CellView(TMainForm1& form, int cell)
{
    TImage* const views[] = {form.Image1, form.Image2, form.Image3, form.Image4, form.Image5,
                             form.Image6, form.Image7, form.Image8, form.Image9};
    return views[cell - 1];
}

QPoint CellCentre(int cell)
{
    return QPoint(160 * ((cell - 1) % 3) + 80, 120 * ((cell - 1) / 3) + 60);
}

// The board window, shown off-screen, driven as a user drives it.
class Board {
public:
    Board() : form_(std::make_unique<TMainForm1>(nullptr))
    {
        form_->Show();
        if (!QTest::qWaitForWindowExposed(form_->Widget()))
            throw Exception("the board window does not show");
        Settle();
    }
    ~Board()
    {
        form_.reset();
        Settle();
    }
    TMainForm1& Form() { return *form_; }

    // Moves the pointer over a cell, from another, so that the move counts.
    void Hover(int cell)
    {
        QWindow* window = form_->Widget()->windowHandle();
        QTest::mouseMove(window, CellCentre(cell == 5 ? 1 : 5) + QPoint(20, 20));
        QTest::mouseMove(window, CellCentre(cell) + QPoint(20, 20));
        Settle();
    }

    // Drops a file onto the board and waits until the cell last hovered holds
    // a picture and the window has painted it; gives the seconds from the
    // drop to the end of that paint.
    double DropAndPaint(const std::string& path, int cell)
    {
        TImage* view = CellView(*form_, cell);
        QMimeData mime;
        mime.setUrls({QUrl::fromLocalFile(QFile::decodeName(QByteArray::fromStdString(path)))});
        QWidget* w = form_->Widget();
        const QPoint at = CellCentre(cell);
        const Clock::time_point start = Clock::now();
        QDragEnterEvent enter(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(w, &enter);
        QDropEvent drop(QPointF(at), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(w, &drop);
        // The window takes the drop once the drag has ended: at the next turn
        // of the event loop.
        QElapsedTimer guard;
        guard.start();
        while (!view->Picture()->Graphic() && !answerer_.failed) {
            if (guard.elapsed() > 60000)
                throw Exception("the dropped picture did not arrive: " + path);
            QApplication::processEvents(QEventLoop::AllEvents, 5);
        }
        w->repaint();
        const double seconds = SecondsSince(start);
        if (answerer_.failed)
            throw Exception("the board refused " + path);
        return seconds;
    }

    void Clear()
    {
        form_->D1Click(nullptr);
        Settle();
    }

    // The client area as the window paints it.
    QImage Shot() { return form_->Canvas()->Grab(Rect(0, 0, 480, 360)); }

private:
    BoxAnswerer answerer_;
    std::unique_ptr<TMainForm1> form_;
};

// True when the cell shows the picture's full decode stretched, below its
// badge.
bool CellShows(const QImage& shot, int cell, const QImage& full)
{
    const QImage expected = StretchNearest(full, 160, 120);
    const QPoint origin = CellCentre(cell) - QPoint(80, 60);
    for (int y = 40; y < 120; ++y)
        for (int x = 0; x < 160; ++x)
            if ((shot.pixel(origin.x() + x, origin.y() + y) | 0xFF000000u) !=
                (expected.pixel(x, y) | 0xFF000000u))
                return false;
    return true;
}

QImage FullPicture(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    const std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(in)),
                                           std::istreambuf_iterator<char>());
    if (path.size() > 4 && path.compare(path.size() - 4, 4, ".bmp") == 0) {
        TBitmap bitmap;
        bitmap.LoadFromData(bytes);
        return bitmap.Image();
    }
    return DecodeJpeg(bytes.data(), bytes.size());
}

// ---- Memory ---------------------------------------------------------------------

// A "VmXxx:  1234 kB" line of /proc/self/status, in bytes.
long long StatusBytes(const char* field)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    const std::size_t n = std::strlen(field);
    while (std::getline(status, line)) {
        if (line.compare(0, n, field) == 0 && line.size() > n && line[n] == ':')
            return std::atoll(line.c_str() + n + 1) * 1024;
    }
    return -1;
}

// In a child process of its own: the board with the files dropped into cells
// 1, 2, ... in turn, each painted as it arrives; prints the resident memory
// of the empty board and the peak of the whole run.
int MeasureBoardMemory(const std::vector<std::string>& paths)
{
    Board board;
    const long long empty = StatusBytes("VmRSS");
    for (std::size_t i = 0; i < paths.size(); ++i) {
        const int cell = static_cast<int>(i) + 1;
        board.Hover(cell);
        board.DropAndPaint(paths[i], cell);
    }
    Settle();
    const QImage shot = board.Shot();
    int shown = 0;
    for (std::size_t i = 0; i < paths.size(); ++i) {
        const QRgb p = shot.pixel(CellCentre(static_cast<int>(i) + 1) + QPoint(40, 40)) | 0xFF000000u;
        shown += p != qRgb(255, 255, 255) && p != qRgb(255, 255, 185); // not an empty cell's panel
    }
    std::printf("empty %lld\npeak %lld\nnow %lld\nshown %d\n", empty, StatusBytes("VmHWM"),
                StatusBytes("VmRSS"), shown);
    return 0;
}

struct BoardMemory {
    long long empty = -1, peak = -1, now = -1;
    int shown = 0;
};

BoardMemory BoardMemoryInChild(const std::vector<std::string>& paths)
{
    char self[4096] = {};
    if (::readlink("/proc/self/exe", self, sizeof self - 1) <= 0)
        throw Exception("cannot find the benchmark's own program");
    std::vector<std::string> args = {self, "--board-memory"};
    args.insert(args.end(), paths.begin(), paths.end());
    bool ok = false;
    std::string output;
    Run(args, &ok, &output);
    if (!ok)
        throw Exception("the board memory run failed");
    BoardMemory m;
    std::istringstream in(output);
    std::string key;
    long long value;
    while (in >> key >> value) {
        if (key == "empty")
            m.empty = value;
        else if (key == "peak")
            m.peak = value;
        else if (key == "now")
            m.now = value;
        else if (key == "shown")
            m.shown = static_cast<int>(value);
    }
    return m;
}

// ---- The table --------------------------------------------------------------------

std::string Seconds(double s)
{
    char text[32];
    if (s < 0)
        std::snprintf(text, sizeof text, "n/a");
    else if (s < 0.1)
        std::snprintf(text, sizeof text, "%.1f ms", s * 1000);
    else
        std::snprintf(text, sizeof text, "%.3f s", s);
    return text;
}

std::string Ratio(double ours, double theirs)
{
    char text[32];
    if (ours < 0 || theirs <= 0)
        std::snprintf(text, sizeof text, "n/a");
    else
        std::snprintf(text, sizeof text, "%.2fx", ours / theirs);
    return text;
}

int UsableCores()
{
    cpu_set_t set;
    CPU_ZERO(&set);
    return sched_getaffinity(0, sizeof set, &set) == 0 ? CPU_COUNT(&set) : -1;
}

std::string CpuModel()
{
    std::ifstream cpuinfo("/proc/cpuinfo");
    std::string line;
    while (std::getline(cpuinfo, line)) {
        if (line.rfind("model name", 0) == 0) {
            const std::size_t colon = line.find(':');
            return colon == std::string::npos ? line : line.substr(colon + 2);
        }
    }
    return "unknown";
}

struct Input {
    std::string name;
    std::string path;
    std::string kind;
    bool jpeg;
};

int RunBenchmark(int runs, const std::string& keep)
{
    QTemporaryDir temporary;
    const std::string dir = keep.empty() ? temporary.path().toStdString() : keep;
    if (!keep.empty())
        ::mkdir(dir.c_str(), 0755);
    const auto at = [&dir](const std::string& name) { return dir + "/" + name; };

    std::printf("mosaica large-photo benchmark\n");
    std::printf("machine: %ld cores online, %d usable by this process; %s\n", sysconf(_SC_NPROCESSORS_ONLN),
                UsableCores(), CpuModel().c_str());
    std::printf("inputs in %s (made now), %d runs each, medians; Qt platform %s\n\n", dir.c_str(), runs,
                qPrintable(QGuiApplication::platformName()));

    // Inputs: one photograph as baseline and progressive JPEG and as BMP, and
    // nine variants for the board.
    const Clock::time_point making = Clock::now();
    const std::vector<Input> inputs = {
        {"baseline.jpg", at("baseline.jpg"), "baseline JPEG, 4:2:0, quality 90", true},
        {"progressive.jpg", at("progressive.jpg"), "progressive JPEG, 4:2:0, quality 90", true},
        {"photo.bmp", at("photo.bmp"), "24-bit BMP", false},
    };
    {
        const QImage photo = PhotoLikePicture(kWidth, kHeight, 0);
        WriteFile(inputs[0].path, EncodeJpeg(photo, kPhotoQuality));
        WriteFile(inputs[1].path, EncodeProgressive(photo, kPhotoQuality));
        WriteBmpFile(inputs[2].path, photo);
    }
    std::vector<std::string> boardFiles;
    long long boardBytes = 0;
    for (int i = 1; i <= 9; ++i) {
        boardFiles.push_back(at("board" + std::to_string(i) + ".jpg"));
        WriteFile(boardFiles.back(), EncodeJpeg(PhotoLikePicture(kWidth, kHeight, i), kPhotoQuality));
        boardBytes += FileSize(boardFiles.back());
    }
    std::printf("inputs: %d x %d (%.1f megapixels), photograph-like, made in %.1f s\n", kWidth, kHeight,
                kWidth * double(kHeight) / 1e6, SecondsSince(making));
    for (const Input& in : inputs)
        std::printf("  %-16s %8.1f MiB  %s\n", in.name.c_str(), MiB(double(FileSize(in.path))),
                    in.kind.c_str());
    std::printf("  %-16s %8.1f MiB  nine baseline JPEGs like baseline.jpg, each a different picture\n\n",
                "board1..9.jpg", MiB(double(boardBytes)));

    // Drop to painted, against a whole decode by djpeg and a sampled resize
    // by ImageMagick of the same file.
    struct DropRow {
        std::string name;
        double ours, djpeg, convert;
        bool right;
    };
    std::vector<DropRow> dropRows;
    {
        Board board;
        for (const Input& in : inputs) {
            std::vector<double> times;
            for (int i = 0; i <= runs; ++i) { // the first run warms up
                board.Clear();
                board.Hover(5);
                const double t = board.DropAndPaint(in.path, 5);
                if (i > 0)
                    times.push_back(t);
            }
            const bool right = CellShows(board.Shot(), 5, FullPicture(in.path));
            const double djpeg =
                in.jpeg
                    ? TimeProgram({"/usr/bin/djpeg", "-dct", "float", "-outfile", "/dev/null", in.path}, runs)
                    : -1;
            const double convert = TimeProgram(
                {kConvert, in.path, "-sample", "160x120!", at("sample-" + in.name + ".bmp")}, runs);
            dropRows.push_back({in.name, Median(times), djpeg, convert, right});
        }
    }
    std::printf(
        "Drop to painted: the file dropped on cell 5 of the board window until its paint has ended\n");
    std::printf("  %-16s %11s | %11s %9s | %11s %9s | %s\n", "file", "mosaica", "djpeg", "ratio", "convert",
                "ratio", "cell shows the exact stretch");
    for (const DropRow& r : dropRows)
        std::printf("  %-16s %11s | %11s %9s | %11s %9s | %s\n", r.name.c_str(), Seconds(r.ours).c_str(),
                    Seconds(r.djpeg).c_str(), Ratio(r.ours, r.djpeg).c_str(), Seconds(r.convert).c_str(),
                    Ratio(r.ours, r.convert).c_str(), r.right ? "yes" : "NO");
    std::printf("  djpeg: djpeg -dct float -outfile /dev/null FILE (a whole decode, as PPM)\n");
    std::printf("  convert: %s FILE -sample 160x120! out.bmp\n", kConvert);
    std::printf("  ratio: mosaica's time / the tool's time (below 1 is faster)\n\n");

    // Peak memory with nine pictures on the board, in a process of its own.
    const BoardMemory memory = BoardMemoryInChild(boardFiles);
    const double budget = double(boardBytes) + 100.0 * 1024 * 1024;
    std::printf(
        "Peak resident memory: nine 24 MP JPEGs dropped on the board, each painted (child process, VmHWM)\n");
    std::printf("  %-34s %9.1f MiB\n", "peak (VmHWM)", MiB(double(memory.peak)));
    std::printf("  %-34s %9.1f MiB\n", "resident at the end (VmRSS)", MiB(double(memory.now)));
    std::printf("  %-34s %9.1f MiB\n", "empty board before the drops", MiB(double(memory.empty)));
    std::printf("  %-34s %9.1f MiB\n", "sum of the nine files", MiB(double(boardBytes)));
    std::printf("  %-34s %9.1f MiB   peak / allowance %.2fx\n", "allowance: files + 100 MiB", MiB(budget),
                double(memory.peak) / budget);
    std::printf("  %-34s %9.1f MiB   (9 x 6000 x 4000 x 4 bytes, for comparison)\n",
                "nine full decodes would hold", MiB(9.0 * kWidth * kHeight * 4));
    std::printf("  cells showing their picture: %d of 9\n", memory.shown);
    // A progressive file is decoded from the library's buffer of all its DCT
    // coefficients, which it holds while the rendition is made.
    const BoardMemory progressive = BoardMemoryInChild({inputs[1].path});
    std::printf("  %-34s %9.1f MiB   (%.1f MiB above the empty board)\n\n", "one progressive.jpg alone: peak",
                MiB(double(progressive.peak)), MiB(double(progressive.peak - progressive.empty)));

    // Saving the board, against cjpeg on the same 480 x 360 picture.
    double saveTime = 0;
    double cjpegTime = -1;
    bool sameBytes = false;
    {
        Board board;
        for (int cell = 1; cell <= 9; ++cell) {
            board.Hover(cell);
            board.DropAndPaint(boardFiles[static_cast<std::size_t>(cell - 1)], cell);
        }
        const std::string saved = at("board-saved.jpg");
        const TRect all = Rect(0, 0, 480, 360);
        std::vector<double> times;
        QImage captured;
        for (int i = 0; i <= runs * 4; ++i) {
            const Clock::time_point start = Clock::now();
            TBitmap bitmap;
            bitmap.SetSize(480, 360);
            bitmap.Canvas()->CopyRect(all, board.Form().Canvas(), all);
            WriteFile(saved, EncodeJpeg(bitmap.Image(), kSaveQuality));
            if (i > 0)
                times.push_back(SecondsSince(start));
            captured = bitmap.Image();
        }
        saveTime = Median(times);
        const std::string ppm = at("board.ppm");
        WritePpmFile(ppm, captured);
        const std::string theirs = at("board-cjpeg.jpg");
        cjpegTime = TimeProgram({"/usr/bin/cjpeg", "-dct", "float", "-quality", std::to_string(kSaveQuality),
                                 "-outfile", theirs, ppm},
                                runs * 4);
        std::ifstream a(saved, std::ios::binary), b(theirs, std::ios::binary);
        const std::string bytesA((std::istreambuf_iterator<char>(a)), std::istreambuf_iterator<char>());
        const std::string bytesB((std::istreambuf_iterator<char>(b)), std::istreambuf_iterator<char>());
        sameBytes = !bytesA.empty() && bytesA == bytesB;
    }
    std::printf(
        "Save: capture the 480 x 360 board (form canvas CopyRect into a bitmap), encode at quality 80, "
        "write the file\n");
    std::printf("  %-34s %11s\n", "mosaica", Seconds(saveTime).c_str());
    std::printf("  %-34s %11s   ratio %s\n", "cjpeg -dct float -quality 80 (PPM)", Seconds(cjpegTime).c_str(),
                Ratio(saveTime, cjpegTime).c_str());
    std::printf("  the two files are byte for byte the same: %s\n\n", sameBytes ? "yes" : "no");

    // The goals.
    const DropRow& baseline = dropRows[0];
    const auto verdict = [](bool met) { return met ? "met" : "NOT MET"; };
    const bool fastEnough = baseline.djpeg > 0 && baseline.ours <= baseline.djpeg;
    const bool fasterThanConvert = baseline.convert > 0 && baseline.ours < baseline.convert;
    const bool memoryBounded = memory.peak > 0 && double(memory.peak) <= budget;
    std::printf("Goals\n");
    std::printf("  24 MP baseline JPEG, drop to painted <= 1.0x djpeg:       %s (%s)\n", verdict(fastEnough),
                Ratio(baseline.ours, baseline.djpeg).c_str());
    std::printf("  24 MP baseline JPEG, drop to painted faster than convert: %s (%s)\n",
                verdict(fasterThanConvert), Ratio(baseline.ours, baseline.convert).c_str());
    std::printf("  nine 24 MP JPEGs, peak RSS <= files + 100 MiB:            %s (%.1f of %.1f MiB)\n",
                verdict(memoryBounded), MiB(double(memory.peak)), MiB(budget));
    bool allShown = memory.shown == 9;
    for (const DropRow& r : dropRows)
        allShown = allShown && r.right;
    if (!allShown)
        std::printf("  WARNING: a cell did not show its picture as expected\n");
    return fastEnough && fasterThanConvert && memoryBounded && allShown ? 0 : 1;
}

// Qt's messages, less the off-screen platform's note that it cannot raise a
// window, which every board window shown there would print.
void Message(QtMsgType, const QMessageLogContext&, const QString& text)
{
    if (text != QStringLiteral("This plugin does not support raise()"))
        std::fprintf(stderr, "%s\n", qPrintable(text));
}

} // namespace

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    qInstallMessageHandler(Message);
    try {
        Application->Initialize();
        if (argc > 1 && std::strcmp(argv[1], "--board-memory") == 0)
            return MeasureBoardMemory(std::vector<std::string>(argv + 2, argv + argc));
        int runs = 5;
        std::string keep;
        for (int i = 1; i < argc; ++i) {
            if (std::strcmp(argv[i], "--runs") == 0 && i + 1 < argc)
                runs = std::max(1, std::atoi(argv[++i]));
            else if (std::strcmp(argv[i], "--keep") == 0 && i + 1 < argc)
                keep = argv[++i];
            else {
                std::fprintf(stderr, "usage: %s [--runs N] [--keep DIR]\n", argv[0]);
                return 2;
            }
        }
        return RunBenchmark(runs, keep);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "mosaica_bench: %s\n", e.what());
        return 1;
    }
}
