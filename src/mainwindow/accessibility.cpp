// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#include "mainwindow/accessibility.h"

#include <QAbstractSlider>
#include <QAccessibleObject>
#include <QAccessibleWidget>
#include <QAction>
#include <QActionGroup>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QMenu>
#include <QPointer>
#include <QProgressBar>
#include <QTabBar>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <vector>

#include "core/common/scene_description.h"

namespace veliso {

namespace {

// Dynamic properties read by the interfaces below.
constexpr char kRole[] = "velisoAccessibleRole";
constexpr char kUnit[] = "velisoValueUnit";
constexpr char kCaption[] = "velisoCaption";
constexpr char kFigure[] = "velisoFigure";
constexpr char kSpoken[] = "velisoSpokenFormat";
constexpr char kVoice[] = "velisoSaid";
constexpr char kExposedMenu[] = "velisoExposedMenu";
constexpr char kOwnedMenu[] = "velisoOwnedMenu";
constexpr char kMenuOwner[] = "velisoMenuOwner";

/// A rectangle of `widget` in screen coordinates.
QRect OnScreen(const QWidget* widget, const QRect& r) {
    return QRect(widget->mapToGlobal(r.topLeft()), r.size());
}

QString StripAmpersands(QString text) {
    return text.remove(QLatin1Char('&'));
}

/// What TieLabels tied to a widget: its caption labels it, and it controls the figure.
QList<QPair<QAccessibleInterface*, QAccessible::Relation>> TiedLabels(const QWidget* widget,
                                                                      QAccessible::Relation match) {
    QList<QPair<QAccessibleInterface*, QAccessible::Relation>> relations;
    const auto add = [&](const char* property, QAccessible::Relation relation) {
        if (!(match & relation)) {
            return;
        }
        if (QObject* label = widget->property(property).value<QObject*>()) {
            if (QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(label)) {
                relations.append({iface, relation});
            }
        }
    };
    add(kCaption, QAccessible::Label);
    add(kFigure, QAccessible::Controlled);
    return relations;
}

/// A widget with the role given by SetAccessibleRole. Pictures are leaves: the native window
/// inside the 3D view is no object of its own. Links and buttons made of labels are pressed
/// through their "clicked" signal.
class RoleAccessible : public QAccessibleWidget {
  public:
    RoleAccessible(QWidget* widget, QAccessible::Role role) : QAccessibleWidget(widget, role) {}

    // The widgets inside come first, then the menu the widget owns while it is open.
    int childCount() const override { return OwnChildren() + (OpenMenu() != nullptr ? 1 : 0); }
    QAccessibleInterface* child(int index) const override {
        if (index < OwnChildren()) {
            return QAccessibleWidget::child(index);
        }
        return index == OwnChildren() ? QAccessible::queryAccessibleInterface(OpenMenu()) : nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        if (child != nullptr && OpenMenu() != nullptr && child->object() == OpenMenu()) {
            return OwnChildren();
        }
        return role() == QAccessible::Graphic ? -1 : QAccessibleWidget::indexOfChild(child);
    }
    QAccessibleInterface* childAt(int x, int y) const override {
        return role() == QAccessible::Graphic ? nullptr : QAccessibleWidget::childAt(x, y);
    }
    QString text(QAccessible::Text t) const override {
        QString text = QAccessibleWidget::text(t);
        if (t == QAccessible::Name && text.isEmpty()) {
            if (auto* label = qobject_cast<QLabel*>(widget())) {
                text = label->text();
            }
        }
        return text;
    }
    QStringList actionNames() const override {
        QStringList names = QAccessibleWidget::actionNames();
        if (Pressable()) {
            names.prepend(pressAction());
        }
        return names;
    }
    void doAction(const QString& name) override {
        if (name == pressAction() && Pressable()) {
            QMetaObject::invokeMethod(widget(), "clicked");
            return;
        }
        QAccessibleWidget::doAction(name);
    }
    QList<QPair<QAccessibleInterface*, QAccessible::Relation>> relations(
        QAccessible::Relation match) const override {
        return QAccessibleWidget::relations(match) + TiedLabels(widget(), match);
    }

  private:
    /// A picture has no parts: the native window inside the 3D view is no object of its own.
    int OwnChildren() const {
        return role() == QAccessible::Graphic ? 0 : QAccessibleWidget::childCount();
    }
    QMenu* OpenMenu() const {
        auto* menu = qobject_cast<QMenu*>(widget()->property(kOwnedMenu).value<QObject*>());
        return menu != nullptr && menu->isVisible() ? menu : nullptr;
    }
    bool Pressable() const {
        return (role() == QAccessible::Link || role() == QAccessible::Button) &&
               widget()->metaObject()->indexOfSignal("clicked()") >= 0;
    }
};

/// A slider read with its unit ("298 K"), labelled by its tied labels.
///
/// It is exposed as a spin button that shows that reading as its text. For a slider, a
/// screen reader says the bare number of the value interface: the value text that would carry
/// the unit does not pass through this Qt's bridge. For a spin button it says the text, when
/// the focus comes and at every change. The keys are those of a spin button: the arrows, Page
/// Up and Page Down, Home and End.
class SliderAccessible : public QAccessibleWidget,
                         public QAccessibleValueInterface,
                         public QAccessibleTextInterface {
  public:
    explicit SliderAccessible(QAbstractSlider* slider)
        : QAccessibleWidget(slider, QAccessible::SpinBox) {}

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::ValueInterface) {
            return static_cast<QAccessibleValueInterface*>(this);
        }
        if (type == QAccessible::TextInterface) {
            return static_cast<QAccessibleTextInterface*>(this);
        }
        return QAccessibleWidget::interface_cast(type);
    }
    QString text(QAccessible::Text t) const override {
        return t == QAccessible::Value ? Reading() : QAccessibleWidget::text(t);
    }
    QList<QPair<QAccessibleInterface*, QAccessible::Relation>> relations(
        QAccessible::Relation match) const override {
        return QAccessibleWidget::relations(match) + TiedLabels(widget(), match);
    }

    QVariant currentValue() const override { return slider()->value(); }
    void setCurrentValue(const QVariant& value) override { slider()->setValue(value.toInt()); }
    QVariant maximumValue() const override { return slider()->maximum(); }
    QVariant minimumValue() const override { return slider()->minimum(); }
    QVariant minimumStepSize() const override { return slider()->singleStep(); }

    // The reading as a text that cannot be edited or selected.
    QString text(int start, int end) const override {
        const QString reading = Reading();
        return reading.mid(start, end < 0 ? -1 : end - start);
    }
    int characterCount() const override { return static_cast<int>(Reading().size()); }
    void selection(int, int* start, int* end) const override { *start = *end = 0; }
    int selectionCount() const override { return 0; }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    int cursorPosition() const override { return 0; }
    void setCursorPosition(int) override {}
    QRect characterRect(int) const override { return {}; }
    int offsetAtPoint(const QPoint&) const override { return -1; }
    void scrollToSubstring(int, int) override {}
    QString attributes(int, int* start, int* end) const override {
        *start = 0;
        *end = characterCount();
        return {};
    }

  private:
    QString Reading() const {
        return QString::fromStdString(FrenchNumber(slider()->value())) +
               slider()->property(kUnit).toString();
    }
    QAbstractSlider* slider() const { return static_cast<QAbstractSlider*>(object()); }
};

/// A figure read with its meaning ("Pression : 101 325 Pa" for "101325").
class SpokenLabelAccessible : public QAccessibleWidget {
  public:
    explicit SpokenLabelAccessible(QLabel* label)
        : QAccessibleWidget(label, QAccessible::StaticText) {}
    QString text(QAccessible::Text t) const override {
        if (t != QAccessible::Name) {
            return QAccessibleWidget::text(t);
        }
        auto* label = static_cast<QLabel*>(object());
        bool number = false;
        const double value = label->text().toDouble(&number);
        const QString figure = number ? QString::fromStdString(FrenchNumber(value)) : label->text();
        return label->property(kSpoken).toString().arg(figure);
    }
};

/// A gauge read as the figure it shows with its unit ("Jauge de pression : 101 325 Pa"). It
/// has no value interface: a screen reader would read that as a share of the gauge's range.
class GaugeAccessible : public QAccessibleWidget {
  public:
    explicit GaugeAccessible(QProgressBar* bar)
        : QAccessibleWidget(bar, QAccessible::ProgressBar) {}
    QString text(QAccessible::Text t) const override {
        const auto* bar = static_cast<QProgressBar*>(object());
        const QString reading =
            QString::fromStdString(FrenchNumber(bar->value())) + bar->property(kUnit).toString();
        const QString text = QAccessibleWidget::text(t);
        if (t == QAccessible::Value) {
            return reading;
        }
        if (t == QAccessible::Name) {
            return text.isEmpty() ? reading : text + QStringLiteral(" : ") + reading;
        }
        return text;
    }
    QList<QPair<QAccessibleInterface*, QAccessible::Relation>> relations(
        QAccessible::Relation match) const override {
        return QAccessibleWidget::relations(match) + TiedLabels(widget(), match);
    }
};

/// One page tab of a tab bar: its caption, whether it is the selected one, pressed to select
/// it.
class TabAccessible : public QAccessibleInterface, public QAccessibleActionInterface {
  public:
    TabAccessible(QTabBar* bar, int index) : bar_(bar), index_(index) {}

    bool isValid() const override { return bar_ != nullptr && index_ < bar_->count(); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return bar_ ? bar_->window()->windowHandle() : nullptr; }
    void* interface_cast(QAccessible::InterfaceType type) override {
        return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this)
                                                    : nullptr;
    }
    QAccessibleInterface* parent() const override {
        return QAccessible::queryAccessibleInterface(bar_.data());
    }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QString text(QAccessible::Text t) const override {
        if (!isValid() || t != QAccessible::Name) {
            return {};
        }
        return StripAmpersands(bar_->tabText(index_)).simplified();
    }
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override {
        if (!isValid()) {
            return {};
        }
        return OnScreen(bar_, bar_->tabRect(index_));
    }
    QAccessible::Role role() const override { return QAccessible::PageTab; }
    QAccessible::State state() const override {
        QAccessible::State s;
        if (!isValid()) {
            s.invalid = true;
            return s;
        }
        const bool shown = bar_->isTabVisible(index_) && bar_->isVisible();
        s.invisible = !shown;
        s.disabled = !bar_->isTabEnabled(index_);
        s.selectable = true;
        s.focusable = bar_->focusPolicy() != Qt::NoFocus;
        s.selected = bar_->currentIndex() == index_;
        s.focused = s.selected && bar_->hasFocus();
        return s;
    }

    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString& name) override {
        if (name == pressAction() && isValid()) {
            bar_->setCurrentIndex(index_);
        }
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

    int index() const { return index_; }

  private:
    QPointer<QTabBar> bar_;
    int index_;
};

/// When a tab bar takes the focus, says that its selected tab has it: Qt reports only the
/// bar, and a screen reader would say "tab list" without the tab.
class TabFocusRelay : public QObject {
  public:
    static constexpr char kName[] = "velisoTabFocusRelay";
    explicit TabFocusRelay(QTabBar* bar) : QObject(bar) {
        setObjectName(kName);
        bar->installEventFilter(this);
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::FocusIn) {
            auto* bar = static_cast<QTabBar*>(watched);
            // After Qt's own report of the bar's focus.
            QTimer::singleShot(0, bar, [bar] {
                if (bar->hasFocus() && bar->currentIndex() >= 0) {
                    QAccessibleEvent focus(bar, QAccessible::Focus);
                    focus.setChild(bar->currentIndex());  // the hidden tabs come last
                    QAccessible::updateAccessibility(&focus);
                }
            });
        }
        return false;
    }
};

/// A tab bar that exposes only the tabs the user can see: a hidden tab is no object at all.
class TabBarAccessible : public QAccessibleWidget {
  public:
    explicit TabBarAccessible(QTabBar* bar) : QAccessibleWidget(bar, QAccessible::PageTabList) {
        if (bar->findChild<QObject*>(TabFocusRelay::kName, Qt::FindDirectChildrenOnly) == nullptr) {
            new TabFocusRelay(bar);
        }
    }
    ~TabBarAccessible() override {
        for (QAccessible::Id id : ids_) {
            if (id != 0) {
                QAccessible::deleteAccessibleInterface(id);
            }
        }
    }

    int childCount() const override { return static_cast<int>(VisibleTabs().size()); }
    QAccessibleInterface* child(int index) const override {
        const std::vector<int> tabs = VisibleTabs();
        if (index < 0 || index >= static_cast<int>(tabs.size())) {
            return nullptr;
        }
        return Tab(tabs[index]);
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        const auto* tab = dynamic_cast<const TabAccessible*>(child);
        if (tab == nullptr) {
            return -1;
        }
        const std::vector<int> tabs = VisibleTabs();
        for (int i = 0; i < static_cast<int>(tabs.size()); ++i) {
            if (tabs[i] == tab->index()) {
                return i;
            }
        }
        return -1;
    }
    QAccessibleInterface* childAt(int x, int y) const override {
        const QPoint local = bar()->mapFromGlobal(QPoint(x, y));
        const int index = bar()->tabAt(local);
        return index >= 0 && bar()->isTabVisible(index) ? Tab(index) : nullptr;
    }
    QAccessibleInterface* focusChild() const override {
        return bar()->hasFocus() && bar()->currentIndex() >= 0 ? Tab(bar()->currentIndex())
                                                               : nullptr;
    }

  private:
    QTabBar* bar() const { return static_cast<QTabBar*>(object()); }
    std::vector<int> VisibleTabs() const {
        std::vector<int> tabs;
        for (int i = 0; i < bar()->count(); ++i) {
            if (bar()->isTabVisible(i)) {
                tabs.push_back(i);
            }
        }
        return tabs;
    }
    QAccessibleInterface* Tab(int index) const {
        if (ids_.size() <= static_cast<std::size_t>(index)) {
            ids_.resize(index + 1, 0);
        }
        if (ids_[index] == 0) {
            ids_[index] = QAccessible::registerAccessibleInterface(new TabAccessible(bar(), index));
        }
        return QAccessible::accessibleInterface(ids_[index]);
    }

    mutable std::vector<QAccessible::Id> ids_;
};

/// The menu given to ExposeMenu, or one of its submenus, that `action` is an item of.
QMenu* ExposedMenuOf(QAction* action) {
    for (QObject* o : action->associatedObjects()) {
        if (auto* menu = qobject_cast<QMenu*>(o); menu && menu->property(kExposedMenu).toBool()) {
            return menu;
        }
    }
    return nullptr;
}

/// An item of a menu given to ExposeMenu. An item that can be checked is a check box,
/// or a radio button when it is one choice of an exclusive group: a screen reader says both
/// states of those, while of a menu item it says "checked" alone, this Qt's bridge passing no
/// "checkable" state on.
class MenuItemAccessible : public QAccessibleInterface, public QAccessibleActionInterface {
  public:
    MenuItemAccessible(QMenu* menu, QAction* action) : menu_(menu), action_(action) {}

    bool isValid() const override { return menu_ != nullptr && action_ != nullptr; }
    QObject* object() const override { return action_; }
    QWindow* window() const override { return menu_ ? menu_->windowHandle() : nullptr; }
    void* interface_cast(QAccessible::InterfaceType type) override {
        return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this)
                                                    : nullptr;
    }
    QAccessibleInterface* parent() const override {
        return QAccessible::queryAccessibleInterface(menu_.data());
    }
    // A submenu is the one child of the item that opens it.
    int childCount() const override { return isValid() && action_->menu() != nullptr ? 1 : 0; }
    QAccessibleInterface* child(int index) const override {
        return index == 0 && childCount() == 1
                   ? QAccessible::queryAccessibleInterface(action_->menu())
                   : nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        return child != nullptr && childCount() == 1 && child->object() == action_->menu() ? 0 : -1;
    }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QString text(QAccessible::Text t) const override {
        if (!isValid()) {
            return {};
        }
        if (t == QAccessible::Name) {
            return StripAmpersands(action_->text());
        }
        if (t == QAccessible::Accelerator) {
            return action_->shortcut().toString(QKeySequence::NativeText);
        }
        return {};
    }
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override {
        if (!isValid()) {
            return {};
        }
        return OnScreen(menu_, menu_->actionGeometry(action_));
    }
    QAccessible::Role role() const override {
        if (!isValid() || action_->isSeparator()) {
            return QAccessible::Separator;
        }
        if (!action_->isCheckable()) {
            return QAccessible::MenuItem;
        }
        const QActionGroup* group = action_->actionGroup();
        return group != nullptr && group->isExclusive() ? QAccessible::RadioButton
                                                        : QAccessible::CheckBox;
    }
    QAccessible::State state() const override {
        QAccessible::State s;
        if (!isValid()) {
            s.invalid = true;
            return s;
        }
        s.invisible = !menu_->isVisible() || !action_->isVisible();
        s.disabled = action_->isSeparator() || !action_->isEnabled();
        s.focusable = !s.disabled;
        s.focused = menu_->activeAction() == action_;
        s.checkable = action_->isCheckable();
        s.checked = action_->isChecked();
        s.hasPopup = action_->menu() != nullptr;
        return s;
    }

    QStringList actionNames() const override {
        return isValid() && action_->isEnabled() && !action_->isSeparator()
                   ? QStringList{pressAction()}
                   : QStringList{};
    }
    void doAction(const QString& name) override {
        if (name != pressAction() || !isValid() || !action_->isEnabled()) {
            return;
        }
        if (action_->menu() != nullptr) {
            menu_->setActiveAction(action_);  // opens the submenu
        } else {
            action_->trigger();
        }
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

  private:
    QPointer<QMenu> menu_;
    QPointer<QAction> action_;
};

/// A menu given to ExposeMenu: its items are MenuItemAccessible, found among its children
/// whatever their role. It is a list: a screen reader says a list's name as it enters it, and
/// says nothing of a popup menu, while this Qt's bridge has no role it would pass on as a
/// plain menu.
class MenuAccessible : public QAccessibleWidget {
  public:
    explicit MenuAccessible(QMenu* menu) : QAccessibleWidget(menu, QAccessible::List) {}

    int childCount() const override { return static_cast<int>(menu()->actions().size()); }
    QAccessibleInterface* child(int index) const override {
        const QList<QAction*> actions = menu()->actions();
        return index >= 0 && index < actions.size()
                   ? QAccessible::queryAccessibleInterface(actions.at(index))
                   : nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        return child != nullptr ? static_cast<int>(menu()->actions().indexOf(
                                      qobject_cast<QAction*>(child->object())))
                                : -1;
    }
    QAccessibleInterface* childAt(int x, int y) const override {
        QAction* action = menu()->actionAt(menu()->mapFromGlobal(QPoint(x, y)));
        return action != nullptr ? QAccessible::queryAccessibleInterface(action) : nullptr;
    }
    QString text(QAccessible::Text t) const override {
        const QString text = QAccessibleWidget::text(t);
        return t == QAccessible::Name && text.isEmpty() ? StripAmpersands(menu()->title()) : text;
    }
    QAccessibleInterface* parent() const override {
        // A submenu lies in the item that opens it; the menu at the view in the window.
        if (QAction* opener = menu()->menuAction()) {
            for (QObject* o : opener->associatedObjects()) {
                if (qobject_cast<QMenu*>(o) != nullptr && o != menu()) {
                    return QAccessible::queryAccessibleInterface(opener);
                }
            }
        }
        // A menu that opens at a widget lies in it: a screen reader follows the parents of
        // an item up to the window, and ignores an item whose menu is no one's child.
        if (auto* owner = qobject_cast<QWidget*>(menu()->property(kMenuOwner).value<QObject*>())) {
            return QAccessible::queryAccessibleInterface(owner);
        }
        return QAccessibleWidget::parent();
    }

  private:
    QMenu* menu() const { return static_cast<QMenu*>(object()); }
};

/// One of the announcer's notifications, which a screen reader speaks when it shows.
class VoiceAccessible : public QAccessibleObject {
  public:
    explicit VoiceAccessible(QObject* voice) : QAccessibleObject(voice) {}
    QAccessibleInterface* parent() const override {
        return QAccessible::queryAccessibleInterface(object()->parent());
    }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QString text(QAccessible::Text t) const override {
        return t == QAccessible::Name ? object()->property(kVoice).toString() : QString();
    }
    QAccessible::Role role() const override { return QAccessible::Notification; }
    QAccessible::State state() const override { return {}; }
};

/// Drops the interface Qt may have built for `object` already (Qt builds one for every
/// change it reports, a label's new text for instance, whether anyone listens or not), so
/// that the next one is built with what was just set.
void Forget(QObject* object) {
    if (QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(object)) {
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(iface));
    }
}

QAccessibleInterface* Factory(const QString& className, QObject* object) {
    if (object == nullptr) {
        return nullptr;
    }
    // Asked once per class of the object's ancestry, most derived first: a role set on the
    // widget wins over whatever its class would give.
    const bool mostDerived = className == QLatin1String(object->metaObject()->className());
    if (mostDerived && object->property(kVoice).isValid()) {
        return new VoiceAccessible(object);
    }
    if (auto* action = qobject_cast<QAction*>(object)) {
        QMenu* menu = mostDerived ? ExposedMenuOf(action) : nullptr;
        return menu != nullptr ? new MenuItemAccessible(menu, action) : nullptr;
    }
    if (!object->isWidgetType()) {
        return nullptr;
    }
    if (auto* menu = qobject_cast<QMenu*>(object); menu && mostDerived) {
        if (menu->property(kExposedMenu).toBool()) {
            return new MenuAccessible(menu);
        }
    }
    auto* widget = static_cast<QWidget*>(object);
    if (mostDerived && widget->property(kRole).isValid()) {
        return new RoleAccessible(widget, QAccessible::Role(widget->property(kRole).toInt()));
    }
    if (mostDerived && widget->property(kSpoken).isValid()) {
        if (auto* label = qobject_cast<QLabel*>(widget)) {
            return new SpokenLabelAccessible(label);
        }
    }
    if (className == QLatin1String("QSlider")) {
        return new SliderAccessible(static_cast<QAbstractSlider*>(widget));
    }
    if (className == QLatin1String("QProgressBar")) {
        return new GaugeAccessible(static_cast<QProgressBar*>(widget));
    }
    if (className == QLatin1String("QTabBar")) {
        return new TabBarAccessible(static_cast<QTabBar*>(widget));
    }
    // A plain top-level widget is a main window: a frame, named after its title.
    if (className == QLatin1String("QWidget") && widget->isWindow()) {
        return new QAccessibleWidget(widget, QAccessible::Window);
    }
    // A plain frame (a tab's panel, the bevel around the pressure gauge) groups controls; Qt
    // would expose it as a window frame, inside which a screen reader ignores the controls.
    if (className == QLatin1String("QFrame") && !widget->isWindow()) {
        return new QAccessibleWidget(widget, QAccessible::Grouping);
    }
    return nullptr;
}

}  // namespace

void InstallAccessibility() {
    static bool installed = false;
    if (!installed) {
        installed = true;
        QAccessible::installFactory(&Factory);
    }
}

void SetAccessibleRole(QWidget* widget, QAccessible::Role role) {
    widget->setProperty(kRole, int(role));
    Forget(widget);
}

void ExposeMenu(QMenu* menu, QWidget* owner) {
    menu->setProperty(kMenuOwner, QVariant::fromValue<QObject*>(owner));
    owner->setProperty(kOwnedMenu, QVariant::fromValue<QObject*>(menu));
    // Whichever goes first is forgotten by the other.
    QObject::connect(menu, &QObject::destroyed, owner,
                     [owner] { owner->setProperty(kOwnedMenu, {}); });
    QObject::connect(owner, &QObject::destroyed, menu,
                     [menu] { menu->setProperty(kMenuOwner, {}); });
    QList<QMenu*> menus = menu->findChildren<QMenu*>();
    menus.prepend(menu);
    for (QMenu* m : menus) {
        m->setProperty(kExposedMenu, true);
        Forget(m);
        auto* parentMenu = qobject_cast<QMenu*>(m->parentWidget());
        if (parentMenu == nullptr) {
            continue;
        }
        // Left or Escape closes a submenu and leaves its opener chosen, of which Qt says
        // nothing: the focus is back on it.
        QObject::connect(m, &QMenu::aboutToHide, parentMenu, [parentMenu, m] {
            QTimer::singleShot(
                0, parentMenu, [parentMenu, opener = QPointer<QAction>(m->menuAction())] {
                    const qsizetype index = parentMenu->actions().indexOf(opener.data());
                    if (parentMenu->isVisible() && opener && parentMenu->activeAction() == opener &&
                        index >= 0 && QAccessible::isActive()) {
                        QAccessibleEvent focus(parentMenu, QAccessible::Focus);
                        focus.setChild(static_cast<int>(index));
                        QAccessible::updateAccessibility(&focus);
                    }
                });
        });
    }
}

void SetValueUnit(QWidget* slider, const QString& unit) {
    slider->setProperty(kUnit, unit);
}

void TieLabels(QWidget* control, QLabel* caption, QLabel* figure) {
    if (caption != nullptr) {
        // A screen reader says a control's label rather than its name: the caption says the
        // name too, without its dotted leader.
        if (caption->accessibleName().isEmpty()) {
            caption->setAccessibleName(control->accessibleName());
        }
        // A sibling caption is the control's buddy, which Qt's own accessible objects report
        // as its label too: a combo box's names itself by its current choice on Linux and
        // leaves its label to this relation. The program's own objects report a caption
        // placed elsewhere.
        if (caption->parentWidget() == control->parentWidget()) {
            caption->setBuddy(control);
            // A screen reader finds no value for a combo box that has a label (its name, the
            // choice, gives way to the label): the label says the choice as well.
            if (auto* combo = qobject_cast<QComboBox*>(control)) {
                const QString label = caption->accessibleName();
                const auto say = [caption, label](const QString& choice) {
                    caption->setAccessibleName(label + QStringLiteral(" : ") + choice);
                };
                say(combo->currentText());
                QObject::connect(combo, &QComboBox::currentTextChanged, caption, say);
            }
        } else {
            control->setProperty(kCaption, QVariant::fromValue<QObject*>(caption));
        }
    }
    if (figure != nullptr) {
        control->setProperty(kFigure, QVariant::fromValue<QObject*>(figure));
    }
}

void SetSpokenFormat(QLabel* label, const QString& format) {
    label->setProperty(kSpoken, format);
    Forget(label);
}

Announcer::Announcer(QObject* parent) : QObject(parent) {
    setObjectName("Announcer");
    // More than a screen reader could be behind by: it reads each event in a few tens of
    // milliseconds, and the program says at most a few sentences a second.
    constexpr int kVoices = 4;
    for (int i = 0; i < kVoices; ++i) {
        auto* voice = new QObject(parent);
        voice->setObjectName(QStringLiteral("AnnouncerVoice%1").arg(i));
        voice->setProperty(kVoice, QString());
        voices_.push_back(voice);
    }
}

void Announcer::Say(const QString& text) {
    text_ = text;
    QObject* voice = voices_[static_cast<std::size_t>(count_) % voices_.size()];
    ++count_;
    voice->setProperty(kVoice, text);
    if (QAccessible::isActive()) {
        QAccessibleEvent name(voice, QAccessible::NameChanged);
        QAccessible::updateAccessibility(&name);
        QAccessibleEvent show(voice, QAccessible::ObjectShow);
        QAccessible::updateAccessibility(&show);
    }
}

}  // namespace veliso
