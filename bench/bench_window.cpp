// The two latencies a person feels, measured in a shown window on the
// offscreen platform: category selection to painted picture, and the Search
// button to a filled results list.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QTest>

#include <array>
#include <cstdio>
#include <memory>
#include <vector>

#include "bench_plates.h"
#include "builtin_content.h"
#include "dictionarylist.h"
#include "mainwindow.h"
#include "pictolex/content.h"
#include "pictolex/search.h"
#include "picturebox.h"
#include "run_registered.h"
#include "testsupport.h"

namespace pictolex::bench {
namespace {

// Object names of the category lists, in list tag order.
constexpr std::array<const char*, 6> kCategoryListNames{"ListBoxV", "ListBoxA", "ListBoxH",
                                                        "ListBoxM", "ListBoxT", "ListBoxC"};
constexpr char kWidestSearch[] = "e";

ColourMode ScreenColourMode()
{
    return QGuiApplication::primaryScreen()->depth() <= 8 ? ColourMode::Quantised236 : ColourMode::Rgb;
}

// Form1 as the program shows it, with errors collected instead of boxed.
struct ShownForm {
    QStringList errors;
    std::unique_ptr<TForm1> form;
    bool exposed = false;

    ShownForm()
    {
        FormSetup setup;
        setup.content = BuiltInContent();
        setup.screenDepth = QGuiApplication::primaryScreen()->depth();
        setup.reportError = [this](const QString& text) { errors.append(text); };
        form = std::make_unique<TForm1>(std::move(setup));
        form->show();
        exposed = QTest::qWaitForWindowExposed(form.get());
        QApplication::processEvents();
    }

    template <typename T>
    T* child(const char* name) const
    {
        return form->findChild<T*>(QString::fromLatin1(name));
    }
};

void SelectionToPaintOurs(benchmark::State& state, ReachablePlate target)
{
    state.SetLabel(target.plate.Describe());
    ShownForm shown;
    auto* list = shown.child<DictionaryList>(kCategoryListNames[static_cast<std::size_t>(target.tag - 1)]);
    auto* image = shown.child<PictureBox>("Image1");
    if (!shown.exposed || !list || !image || target.row >= list->count()) {
        state.SkipWithError("the window has no such list row or no Image1");
        return;
    }
    list->scrollToItem(list->item(target.row));
    QApplication::processEvents();
    const QPoint rowCentre = list->visualItemRect(list->item(target.row)).center();
    for (auto _ : state) {
        // The press selects the row (Tavi_ListBox_Click); the pending update
        // then paints, and Image1 decodes at that paint.
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rowCentre);
        QApplication::processEvents();
        if (image->decodedImage().isNull()) {
            state.SkipWithError("the picture was not painted after the selection");
            break;
        }
    }
    if (!shown.errors.isEmpty())
        state.SkipWithError(shown.errors.first().toUtf8().constData());
}

void SelectionToPaintFloor(benchmark::State& state, ReachablePlate target)
{
    state.SetLabel(target.plate.Describe());
    const ColourMode mode = ScreenColourMode();
    for (auto _ : state) {
        DecodedImage image = DecodeJpeg(target.plate.bytes, mode);
        benchmark::DoNotOptimize(image.pixels.data());
    }
}

// Types the word with the most partial matches and ticks partial search.
bool SetUpWidestSearch(const ShownForm& shown)
{
    auto* edit = shown.child<QLineEdit>("Edit1");
    auto* partial = shown.child<QCheckBox>("CheckBox1");
    if (!edit || !partial)
        return false;
    edit->setText(QString::fromLatin1(kWidestSearch));
    partial->setChecked(true);
    return true;
}

void SearchToListOurs(benchmark::State& state, bool paint)
{
    ShownForm shown;
    auto* button = shown.child<QPushButton>("btn1");
    auto* results = shown.child<QListWidget>("ListBox1");
    if (!shown.exposed || !button || !results || !SetUpWidestSearch(shown)) {
        state.SkipWithError("the window was not shown or lacks a control of the search group");
        return;
    }
    for (auto _ : state) {
        // Like the floor, from an empty list: emptying the previous search's
        // rows is the same for both and is left out of the comparison.
        state.PauseTiming();
        results->clear();
        state.ResumeTiming();
        QTest::mouseClick(button, Qt::LeftButton);
        if (paint)
            QApplication::processEvents();
    }
    const auto expected = SearchTerms(content::GlossaryText(), kWidestSearch, true).size();
    if (static_cast<std::size_t>(results->count()) != expected)
        state.SkipWithError("ListBox1 does not hold one row per match");
    state.counters["rows"] = results->count();
}

void SearchToListFloor(benchmark::State& state)
{
    QListWidget list;
    list.resize(241, 289);
    list.show();
    if (!QTest::qWaitForWindowExposed(&list)) {
        state.SkipWithError("the list was not shown");
        return;
    }
    const std::string_view glossary = content::GlossaryText();
    for (auto _ : state) {
        state.PauseTiming();
        list.clear();
        state.ResumeTiming();
        const std::vector<TermMatch> matches = SearchTerms(glossary, kWidestSearch, true);
        QStringList rows;
        rows.reserve(static_cast<qsizetype>(matches.size()));
        for (const TermMatch& match : matches)
            rows.append(QString::fromUtf8(match.term.data(), static_cast<qsizetype>(match.term.size())));
        list.addItems(rows);
    }
    state.counters["rows"] = list.count();
}

// Form1 showing the picture with the most labels.
struct LabelledForm : ShownForm {
    PictureBox* image = nullptr;
    std::string_view key;

    LabelledForm()
    {
        const StoredLabels* most = MostLabelledPicture();
        image = child<PictureBox>("Image1");
        if (!exposed || !image || !most)
            return;
        key = most->name;
        form->resize(1100, 1100);  // the whole picture in view
        form->ShowPicture(key);
        QApplication::processEvents();
    }

    bool ready() const { return image && !image->labels().empty() && !image->decodedImage().isNull(); }
    std::string describe() const
    {
        return std::string(key) + ", " + std::to_string(image->labels().size()) + " labels";
    }
};

// Sends `target` pointer moves that sweep it on a 3 px grid, one an
// iteration. The events are made beforehand; Qt's own allocations for an
// event from the window system are not part of this.
void SweepPointer(benchmark::State& state, QWidget* target)
{
    std::vector<std::unique_ptr<QMouseEvent>> moves;
    for (int y = 0; y < target->height(); y += 3) {
        for (int x = 0; x < target->width(); x += 3) {
            const QPointF at(x, y);
            moves.push_back(std::make_unique<QMouseEvent>(QEvent::MouseMove, at, target->mapToGlobal(at),
                                                          Qt::NoButton, Qt::NoButton, Qt::NoModifier));
        }
    }
    std::size_t next = 0;
    for (auto _ : state) {
        QCoreApplication::sendEvent(target, moves[next].get());
        next = next + 1 == moves.size() ? 0 : next + 1;
    }
}

// Image1's whole handling of one pointer move: Qt's delivery, the hit test,
// and the pointer shape and tip that follow from it.
void PointerMoveOurs(benchmark::State& state)
{
    LabelledForm shown;
    if (!shown.ready()) {
        state.SkipWithError("no labelled picture in Image1");
        return;
    }
    state.SetLabel(shown.describe());
    SweepPointer(state, shown.image);
}

// The same moves delivered to a plain widget of the picture's size that
// follows the pointer and does nothing with it.
void PointerMoveFloor(benchmark::State& state)
{
    LabelledForm shown;
    if (!shown.ready()) {
        state.SkipWithError("no labelled picture in Image1");
        return;
    }
    QWidget window;
    window.resize(shown.image->size());
    auto* plain = new QWidget(&window);
    plain->setMouseTracking(true);
    plain->resize(shown.image->size());
    window.show();
    if (!QTest::qWaitForWindowExposed(&window)) {
        state.SkipWithError("the plain widget was not shown");
        return;
    }
    SweepPointer(state, plain);
}

// Marking a label, from the mark's change to the painted picture, moving the
// mark between two labels far apart; the floor repaints the whole picture.
void MarkToPaint(benchmark::State& state, bool whole)
{
    LabelledForm shown;
    if (!shown.ready()) {
        state.SkipWithError("no labelled picture in Image1");
        return;
    }
    PictureBox* image = shown.image;
    const std::array<int, 2> marks{0, static_cast<int>(image->labels().size()) - 1};
    test::PaintedRegion watch;
    image->installEventFilter(&watch);
    QRegion marked;
    std::size_t turn = 0;
    for (auto _ : state) {
        const int label = marks[turn++ % 2];
        if (whole)
            image->update();
        else
            image->setMarkedLabel(label);
        QApplication::processEvents();
        marked += image->markRegion(label);
    }
    const double pictureArea = image->width() * image->height();
    if (!whole && !(watch.painted - marked).isEmpty())
        state.SkipWithError("the mark repainted more than its own places");
    // Each change repaints the places of the mark that goes and of the one that comes.
    const QRegion repainted =
        whole ? QRegion(image->rect()) : image->markRegion(marks[0]) + image->markRegion(marks[1]);
    char share[64];
    std::snprintf(share, sizeof share, ", repaints %.1f%% of the picture", 100.0 * test::Area(repainted) / pictureArea);
    state.SetLabel(shown.describe() + share);
}

void Register()
{
    if (const std::optional<ReachablePlate> target = LargestPlateInCategories()) {
        benchmark::RegisterBenchmark("select_to_paint/ours", SelectionToPaintOurs, *target)
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime();
        benchmark::RegisterBenchmark("select_to_paint/floor", SelectionToPaintFloor, *target)
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime();
    }
    benchmark::RegisterBenchmark("search_to_list_e/ours", SearchToListOurs, false)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
    benchmark::RegisterBenchmark("search_to_list_e/floor", SearchToListFloor)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
    benchmark::RegisterBenchmark("pointer_move/ours", PointerMoveOurs)->Unit(benchmark::kMicrosecond)->UseRealTime();
    benchmark::RegisterBenchmark("pointer_move/floor", PointerMoveFloor)->Unit(benchmark::kMicrosecond)->UseRealTime();
    benchmark::RegisterBenchmark("mark_to_paint/ours", MarkToPaint, false)
        ->Unit(benchmark::kMicrosecond)
        ->UseRealTime();
    benchmark::RegisterBenchmark("mark_to_paint/floor", MarkToPaint, true)
        ->Unit(benchmark::kMicrosecond)
        ->UseRealTime();
    // Reported beside the goal: the same search up to the painted list.
    benchmark::RegisterBenchmark("search_to_painted_list_e/ours", SearchToListOurs, true)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
}

}  // namespace
}  // namespace pictolex::bench

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    pictolex::bench::Register();
    return pictolex::bench::RunRegisteredBenchmarks(argc, argv);
}
