#include "mainwindow/liquid_panel.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QSlider>

#include <algorithm>

#include "core/common/colour.h"
#include "core/common/number_format.h"
#include "core/liquid/liquid_controls.h"
#include "core/liquid/liquid_motion.h"

namespace veliso {

namespace {

QFont PanelFont(bool bold = false) {
    QFont font("Arial", 8);
    font.setBold(bold);
    return font;
}

QLabel* AddLabel(QWidget* parent, const char* name, const QString& text, const QRect& bounds,
                 bool bold = false) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setGeometry(bounds);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setFont(PanelFont(bold));
    return label;
}

/// A bold figure that keeps its right edge: a wider text grows to the left, over the dotted
/// leader of its caption, which its panel-coloured background hides.
QLabel* AddValueLabel(QWidget* parent, const char* name, const QRect& bounds) {
    QLabel* label = AddLabel(parent, name, {}, bounds, true);
    label->setAlignment(Qt::AlignRight | Qt::AlignTop);
    label->setAutoFillBackground(true);
    return label;
}

void SetValueText(QLabel* label, const std::string& text) {
    const QString caption = QString::fromStdString(text);
    const QRect bounds = label->geometry();
    const int width = std::max(bounds.width(), label->fontMetrics().horizontalAdvance(caption) + 1);
    label->setGeometry(bounds.right() + 1 - width, bounds.top(), width, bounds.height());
    label->setText(caption);
}

QSlider* AddSlider(QWidget* parent, const char* name, const QRect& bounds, int minimum, int maximum,
                   int position) {
    auto* slider = new QSlider(Qt::Horizontal, parent);
    slider->setObjectName(name);
    slider->setRange(minimum, maximum);
    slider->setValue(position);
    slider->setTickPosition(QSlider::NoTicks);
    slider->setCursor(Qt::PointingHandCursor);
    slider->setGeometry(bounds);
    return slider;
}

QCheckBox* AddCheckBox(QWidget* parent, const char* name, const QString& text,
                       const QRect& bounds) {
    auto* box = new QCheckBox(text, parent);
    box->setObjectName(name);
    box->setGeometry(bounds);
    box->setFont(PanelFont());
    return box;
}

/// The small " R ", " V  ", " B " tags beside the colour sliders: white on the colour set.
void AddColourTag(QWidget* parent, const char* name, const QString& text, int top,
                  const QColor& background) {
    QLabel* tag = AddLabel(parent, name, text, QRect(8, top, 13, 11));
    QPalette palette = tag->palette();
    palette.setColor(QPalette::Window, background);
    palette.setColor(QPalette::WindowText, Qt::white);
    tag->setPalette(palette);
    tag->setAutoFillBackground(true);
}

QPushButton* AddButton(QWidget* parent, const char* name, const QString& text,
                       const QRect& bounds) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(name);
    button->setGeometry(bounds);
    return button;
}

/// Right edge of `Lab_T_L`, under the right end of the temperature slider.
constexpr int kTemperatureRight = 153;

}  // namespace

LiquidPanel::LiquidPanel(QWidget* parent, LiquidState& liquid, SphereDetail& detail,
                         RandomSource& random)
    : QFrame(parent), liquid_(liquid), detail_(detail), random_(random) {
    setObjectName("Panliq");
    setFrameShape(QFrame::Panel);
    setFrameShadow(QFrame::Sunken);
    setFont(PanelFont());
    setFixedWidth(161);
    resize(161, 472);

    BuildVolumeAndTemperature();
    BuildOptionsGroup();
    BuildButtons();
    ShowPauseState();

    // Keyboard order: the two top sliders, the options box from top to bottom with its
    // marking box last, then the two buttons.
    const QList<QWidget*> order = {TB_Vol_L, TB_t_L,    CB_trans_L, TB_R_L, TB_V_L,
                                   TB_B_L,   TB_face_L, CB_mark,    butdep, butpause};
    for (qsizetype i = 1; i < order.size(); ++i) {
        setTabOrder(order[i - 1], order[i]);
    }

    // Handlers are connected once every control shows the record: none runs at start-up,
    // and from here on every new position runs its handler before setValue returns.
    connect(TB_Vol_L, &QSlider::valueChanged, this, &LiquidPanel::TB_Vol_LChange);
    connect(TB_t_L, &QSlider::valueChanged, this, &LiquidPanel::TB_t_LChange);
    connect(TB_R_L, &QSlider::valueChanged, this, &LiquidPanel::TB_R_LChange);
    connect(TB_V_L, &QSlider::valueChanged, this, &LiquidPanel::TB_V_LChange);
    connect(TB_B_L, &QSlider::valueChanged, this, &LiquidPanel::TB_B_LChange);
    connect(TB_face_L, &QSlider::valueChanged, this, &LiquidPanel::TB_face_LChange);
    connect(butdep, &QPushButton::clicked, this, &LiquidPanel::butdepClick);
    connect(butpause, &QPushButton::clicked, this, &LiquidPanel::butpauseClick);
}

void LiquidPanel::BuildVolumeAndTemperature() {
    const LiquidSliderPositions start = LiquidSlidersFor(liquid_);
    AddLabel(this, "Label10", "Volume du récipient : ......", QRect(8, 8, 122, 14));
    Lab_V_L = AddValueLabel(this, "Lab_V_L", QRect(120, 8, 22, 13));
    SetValueText(Lab_V_L, FormatInteger(start.volume));
    AddLabel(this, "Label16", "%", QRect(143, 8, 10, 13), true);
    TB_Vol_L = AddSlider(this, "TB_Vol_L", QRect(2, 21, 157, 20), kLiquidVolumeMin,
                         kLiquidVolumeMax, start.volume);

    AddLabel(this, "Label9", "Température", QRect(8, 42, 61, 14));
    TB_t_L = AddSlider(this, "TB_t_L", QRect(2, 55, 157, 20), kLiquidTemperatureMin,
                       kLiquidTemperatureMax, start.temperature);
    Lab_T_L = AddValueLabel(this, "Lab_T_L", QRect(kTemperatureRight - 5, 69, 5, 13));
    Lab_T_L->setAutoFillBackground(false);  // it lies under the slider's track, not on dots
    ShowTemperature();
}

void LiquidPanel::BuildOptionsGroup() {
    const LiquidSliderPositions start = LiquidSlidersFor(liquid_);
    GroupBox4 = new QGroupBox(" OPTIONS ", this);
    GroupBox4->setObjectName("GroupBox4");
    GroupBox4->setGeometry(8, 81, 145, 152);
    GroupBox4->setFont(PanelFont());

    CB_trans_L =
        AddCheckBox(GroupBox4, "CB_trans_L", "Transparence du cube", QRect(8, 20, 129, 13));
    CB_mark = AddCheckBox(GroupBox4, "CB_mark", "2 particules marquées", QRect(8, 40, 129, 13));

    AddColourTag(GroupBox4, "Label12", " R ", 61, QColor(255, 0, 0));
    AddColourTag(GroupBox4, "Label13", " V  ", 76, QColor(0, 128, 0));
    AddColourTag(GroupBox4, "Label14", " B ", 91, QColor(0, 0, 255));
    TB_R_L = AddSlider(GroupBox4, "TB_R_L", QRect(24, 61, 117, 17), 0, kLiquidColourMax, start.red);
    TB_V_L =
        AddSlider(GroupBox4, "TB_V_L", QRect(24, 76, 117, 17), 0, kLiquidColourMax, start.green);
    TB_B_L =
        AddSlider(GroupBox4, "TB_B_L", QRect(24, 91, 117, 18), 0, kLiquidColourMax, start.blue);

    AddLabel(GroupBox4, "Label11", "Sphéricité des particules", QRect(8, 108, 119, 14));
    TB_face_L = AddSlider(GroupBox4, "TB_face_L", QRect(2, 121, 141, 25), 8, 32, detail_.slices);
    TB_face_L->setSingleStep(1);
    TB_face_L->setPageStep(1);
    TB_face_L->setTickPosition(QSlider::TicksBelow);
    TB_face_L->setTickInterval(1);
    TB_face_L->setToolTip("Optimalisation de l'animation");
}

void LiquidPanel::BuildButtons() {
    butdep = AddButton(this, "butdep", "DÉPART", QRect(9, 242, 57, 24));
    butpause = AddButton(this, "butpause", "PAUSE", QRect(69, 242, 57, 24));
}

void LiquidPanel::LinkSmoothness(QSlider* solid, QSlider* gas) {
    siblingSolid_ = solid;
    siblingGas_ = gas;
}

bool LiquidPanel::transparentCube() const {
    return CB_trans_L->isChecked();
}

bool LiquidPanel::markParticles() const {
    return CB_mark->isChecked();
}

void LiquidPanel::ShowPauseState() {
    butpause->setText(liquid_.paused ? "CONTINUE" : "PAUSE");
    TB_Vol_L->setEnabled(!liquid_.paused);
    butdep->setEnabled(!liquid_.paused);
}

void LiquidPanel::ShowTemperature() {
    SetValueText(Lab_T_L, FormatGeneral(liquid_.temperature) + " K");
}

void LiquidPanel::TB_Vol_LChange() {
    const int volume = TB_Vol_L->value();
    liquid_.halfEdge = LiquidHalfEdge(volume);
    SetValueText(Lab_V_L, FormatInteger(volume));
}

void LiquidPanel::TB_t_LChange() {
    liquid_.temperature = TB_t_L->value();
    DrawLiquidVelocities(liquid_, random_);
    ShowTemperature();
}

void LiquidPanel::TB_R_LChange() {
    liquid_.red = ColourFromSlider(TB_R_L->value());
}

void LiquidPanel::TB_V_LChange() {
    liquid_.green = ColourFromSlider(TB_V_L->value());
}

void LiquidPanel::TB_B_LChange() {
    liquid_.blue = ColourFromSlider(TB_B_L->value());
}

void LiquidPanel::TB_face_LChange() {
    detail_.slices = TB_face_L->value();
    // A sibling that moves runs its own handler before setValue returns; one that already
    // shows the position is left alone, which ends the chain.
    for (QSlider* sibling : {siblingSolid_, siblingGas_}) {
        if (sibling != nullptr) {
            sibling->setValue(detail_.slices);
        }
    }
    detail_.stacks = detail_.slices / 2;
}

void LiquidPanel::butdepClick() {
    InitLiquid(liquid_, random_);
}

void LiquidPanel::butpauseClick() {
    liquid_.paused = !liquid_.paused;
    ShowPauseState();
}

}  // namespace veliso
