// The poster dialog: size, iterations, the file, and the render with its progress.
#include "app/poster_dialog.h"

#include "app/app_state.h"
#include "app/core_api.h"
#include "app/file_dialogs.h"
#include "app/file_messages.h"
#include "app/job_progress.h"
#include "app/main_frame.h"
#include "app/text.h"
#include "app/view.h"
#include "io/file_error.h"
#include "render/image_size.h"
#include "render/recipe.h"
#include "render/renderer.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>

namespace vorticel {
namespace {

constexpr std::int32_t kDefaultScale = 4; // a poster of a 640 x 480 view: 2560 x 1920

QSpinBox* SideBox(QWidget* parent, std::int64_t minimum, std::int64_t maximum, int value) {
    auto* box = new QSpinBox(parent);
    box->setRange(static_cast<int>(minimum), static_cast<int>(maximum));
    box->setValue(std::clamp(value, box->minimum(), box->maximum()));
    box->setGroupSeparatorShown(false);
    return box;
}

} // namespace

PosterDialog::PosterDialog(MainFrame& frame, ViewWindow& view)
    : QDialog(&frame), frame_(frame), view_(&view) {
    setWindowTitle(Text(kStrPosterTitle));
    setAttribute(Qt::WA_DeleteOnClose);
    const Renderer& bitmap = *view.GetBitmap();
    aspect_ = static_cast<double>(bitmap.Height()) / std::max(bitmap.Width(), 1);

    T_width = SideBox(this, kMinImageWidth, kMaxImageWidth, bitmap.Width() * kDefaultScale);
    T_height = SideBox(this, kMinImageHeight, kMaxPosterHeight, bitmap.Height() * kDefaultScale);
    T_iterations = new QSpinBox(this);
    T_iterations->setRange(kMinRenderIterations, std::numeric_limits<int>::max());
    T_iterations->setValue(view.iterationTarget);
    T_iterations->setGroupSeparatorShown(true);
    CB_proportions = new QCheckBox(Text(kStrKeepProportions), this);
    CB_proportions->setChecked(true);
    L_pixels = new QLabel(this);

    const auto label = [this](int textId, QWidget* buddy) {
        auto* l = new QLabel(Text(textId), this);
        l->setBuddy(buddy);
        return l;
    };
    auto* sizeBox = new QGroupBox(Text(kStrPosterSize), this);
    auto* form = new QFormLayout(sizeBox);
    form->addRow(label(kStrWidthLabel, T_width), T_width);
    form->addRow(label(kStrHeightLabel, T_height), T_height);
    form->addRow(QString(), CB_proportions);
    form->addRow(QString(), L_pixels);
    form->addRow(label(kStrIterationsLabel, T_iterations), T_iterations);

    progress = new JobProgress(this);
    L_result = new QLabel(this);
    L_result->setWordWrap(true);
    L_result->setTextInteractionFlags(Qt::TextSelectableByMouse);
    B_rendre = new QPushButton(Text(kStrRenderEllipsis), this);
    B_rendre->setDefault(true);
    B_fermer = new QPushButton(Text(kStrClose), this);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(B_rendre);
    buttons->addWidget(B_fermer);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(sizeBox);
    layout->addWidget(progress);
    layout->addWidget(L_result);
    layout->addLayout(buttons);
    setMinimumWidth(420);

    connect(T_width, &QSpinBox::valueChanged, this, [this] { SizeChanged(true); });
    connect(T_height, &QSpinBox::valueChanged, this, [this] { SizeChanged(false); });
    connect(CB_proportions, &QCheckBox::toggled, this, [this] { SizeChanged(true); });
    connect(B_rendre, &QPushButton::clicked, this, [this] { B_rendreClick(); });
    connect(B_fermer, &QPushButton::clicked, this, [this] { close(); });
    connect(&view, &QObject::destroyed, this, [this] { UpdateEnabling(); });
    const QString proposal = QFileInfo(view.Title()).completeBaseName();
    chooseFile = [this, proposal](int& depth) {
        return AskImageFile(this, proposal, &depth, false);
    };
    SizeChanged(true);
}

void PosterDialog::SizeChanged(bool widthEdited) {
    if (following_) {
        return;
    }
    following_ = true;
    // The camera keeps the view's width: at the view's proportions the poster shows what
    // the view shows.
    if (CB_proportions->isChecked()) {
        if (widthEdited) {
            T_height->setValue(static_cast<int>(std::lround(T_width->value() * aspect_)));
        } else {
            T_width->setValue(static_cast<int>(std::lround(T_height->value() / aspect_)));
        }
    }
    following_ = false;
    const double megapixels = static_cast<double>(T_width->value()) * T_height->value() / 1e6;
    L_pixels->setText(Text(kStrPosterPixels).arg(QLocale().toString(megapixels, 'f', 1)));
}

void PosterDialog::UpdateEnabling() {
    const bool running = progress->Running();
    for (QWidget* w :
         {static_cast<QWidget*>(T_width), static_cast<QWidget*>(T_height),
          static_cast<QWidget*>(T_iterations), static_cast<QWidget*>(CB_proportions)}) {
        w->setEnabled(!running);
    }
    B_rendre->setEnabled(!running && !view_.isNull());
    B_fermer->setEnabled(!running);
}

void PosterDialog::B_rendreClick() {
    if (!view_) {
        L_result->setText(Text(kStrPosterNoView));
        return;
    }
    int depth = 8;
    const QString fileName = chooseFile(depth);
    if (!fileName.isEmpty()) {
        Render(fileName, depth);
    }
}

bool PosterDialog::Render(const QString& fileName, int depth) {
    ViewWindow* const view = view_.data();
    if (progress->Running() || view == nullptr || view->Busy() || App().LongActivity()) {
        return false;
    }
    if (CheckPosterSize(T_width->value(), T_height->value()) != ImageSizeCheck::Ok) {
        L_result->setText(
            Text(kStrImageTooLarge,
                 QStringLiteral("%1 x %2").arg(T_width->value()).arg(T_height->value())));
        return false;
    }
    ImageRecipe recipe = frame_.RecipeOfView(*view); // taken whole: the view may change now
    recipe.iterations = T_iterations->value();
    PosterOptions options;
    options.width = T_width->value();
    options.height = T_height->value();
    options.depth = depth;

    std::optional<JobScope> job(std::in_place, frame_);
    progress->Start();
    UpdateEnabling();
    L_result->clear();
    PosterHooks hooks;
    hooks.progress = [this](const PosterProgress& p) { progress->Advance(p.fraction); };
    hooks.stopRequested = [this] { return progress->StopRequested(); };
    QString message;
    bool written = false;
    try {
        const PosterResult result = RenderPoster(recipe, options, fileName.toStdString(), hooks);
        if (result.stopped) {
            message = Text(kStrPosterStopped);
        } else {
            written = true;
            message = Text(kStrPosterSaved, fileName) + QLatin1Char('\n') +
                      Text(kStrPosterStrips).arg(result.strips).arg(result.threads);
            if (result.diverged) {
                message += QLatin1Char('\n') + Text(kStrPosterDiverged);
            }
        }
    } catch (const FileError& error) {
        message = FileErrorMessage(error, fileName);
    } catch (const MemoryBudgetError& error) {
        message = Text(kStrNotEnoughMemory, QString::fromUtf8(error.what()));
    } catch (const RenderError& error) {
        message = QString::fromUtf8(error.what()); // buffers that cannot be had
    }
    progress->Finish(!written);
    L_result->setText(message);
    job.reset();
    UpdateEnabling();
    return written;
}

void PosterDialog::closeEvent(QCloseEvent* event) {
    if (progress->Running()) {
        event->ignore(); // "Arrêter" first: the render holds this dialog's hooks
        return;
    }
    QDialog::closeEvent(event);
}

void PosterDialog::reject() {
    if (!progress->Running()) {
        QDialog::reject();
    }
}

} // namespace vorticel
