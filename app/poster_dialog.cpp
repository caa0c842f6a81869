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
    const Renderer& renderer = *view.GetRenderer();
    aspect_ = static_cast<double>(renderer.Height()) / std::max(renderer.Width(), 1);

    widthBox = SideBox(this, kMinImageWidth, kMaxImageWidth, renderer.Width() * kDefaultScale);
    heightBox = SideBox(this, kMinImageHeight, kMaxPosterHeight, renderer.Height() * kDefaultScale);
    iterationsBox = new QSpinBox(this);
    iterationsBox->setRange(kMinRenderIterations, std::numeric_limits<int>::max());
    iterationsBox->setValue(view.iterationTarget);
    iterationsBox->setGroupSeparatorShown(true);
    keepProportionsCheckBox = new QCheckBox(Text(kStrKeepProportions), this);
    keepProportionsCheckBox->setChecked(true);
    pixelsLabel = new QLabel(this);

    const auto label = [this](int textId, QWidget* buddy) {
        auto* l = new QLabel(Text(textId), this);
        l->setBuddy(buddy);
        return l;
    };
    auto* sizeBox = new QGroupBox(Text(kStrPosterSize), this);
    auto* form = new QFormLayout(sizeBox);
    form->addRow(label(kStrWidthLabel, widthBox), widthBox);
    form->addRow(label(kStrHeightLabel, heightBox), heightBox);
    form->addRow(QString(), keepProportionsCheckBox);
    form->addRow(QString(), pixelsLabel);
    form->addRow(label(kStrIterationsLabel, iterationsBox), iterationsBox);

    progress = new JobProgress(this);
    resultLabel = new QLabel(this);
    resultLabel->setWordWrap(true);
    resultLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    renderButton = new QPushButton(Text(kStrRenderEllipsis), this);
    renderButton->setDefault(true);
    closeButton = new QPushButton(Text(kStrClose), this);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(renderButton);
    buttons->addWidget(closeButton);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(sizeBox);
    layout->addWidget(progress);
    layout->addWidget(resultLabel);
    layout->addLayout(buttons);
    setMinimumWidth(420);

    connect(widthBox, &QSpinBox::valueChanged, this, [this] { SizeChanged(true); });
    connect(heightBox, &QSpinBox::valueChanged, this, [this] { SizeChanged(false); });
    connect(keepProportionsCheckBox, &QCheckBox::toggled, this, [this] { SizeChanged(true); });
    connect(renderButton, &QPushButton::clicked, this, [this] { OnRender(); });
    connect(closeButton, &QPushButton::clicked, this, [this] { close(); });
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
    if (keepProportionsCheckBox->isChecked()) {
        if (widthEdited) {
            heightBox->setValue(static_cast<int>(std::lround(widthBox->value() * aspect_)));
        } else {
            widthBox->setValue(static_cast<int>(std::lround(heightBox->value() / aspect_)));
        }
    }
    following_ = false;
    const double megapixels = static_cast<double>(widthBox->value()) * heightBox->value() / 1e6;
    pixelsLabel->setText(Text(kStrPosterPixels).arg(QLocale().toString(megapixels, 'f', 1)));
}

void PosterDialog::UpdateEnabling() {
    const bool running = progress->Running();
    for (QWidget* w :
         {static_cast<QWidget*>(widthBox), static_cast<QWidget*>(heightBox),
          static_cast<QWidget*>(iterationsBox), static_cast<QWidget*>(keepProportionsCheckBox)}) {
        w->setEnabled(!running);
    }
    renderButton->setEnabled(!running && !view_.isNull());
    closeButton->setEnabled(!running);
}

void PosterDialog::OnRender() {
    if (!view_) {
        resultLabel->setText(Text(kStrPosterNoView));
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
    if (CheckPosterSize(widthBox->value(), heightBox->value()) != ImageSizeCheck::Ok) {
        resultLabel->setText(
            Text(kStrImageTooLarge,
                 QStringLiteral("%1 x %2").arg(widthBox->value()).arg(heightBox->value())));
        return false;
    }
    ImageRecipe recipe = frame_.RecipeOfView(*view); // taken whole: the view may change now
    recipe.iterations = iterationsBox->value();
    PosterOptions options;
    options.width = widthBox->value();
    options.height = heightBox->value();
    options.depth = depth;

    std::optional<JobScope> job(std::in_place, frame_);
    progress->Start();
    UpdateEnabling();
    resultLabel->clear();
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
    resultLabel->setText(message);
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
