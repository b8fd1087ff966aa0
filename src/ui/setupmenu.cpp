// SPDX-License-Identifier: MIT
#include "setupmenu.h"

#include "link/commandchannel.h"
#include "link/matrixsetup.h"
#include "link/setupstore.h"
#include "link/switchsession.h"
#include "presetdialogs.h"

#include <QMenu>
#include <QTimer>

namespace {

// "&" would underline the next letter in a menu.
QString menuText(const QString& text)
{
    return QString(text).replace(u'&', QStringLiteral("&&"));
}

} // namespace

SetupMenu::SetupMenu(SwitchSession& link, const QString& workingDirectory, QWidget* parentWindow)
    : QObject(parentWindow), session(link), window(parentWindow),
      store(new SetupStore(workingDirectory, link.line(), this)),
      recaller(new PresetRecall(*new CommandChannel(link, CommandChannel::Framing::Window, this),
                                CommandChannel::nobody, this))
{
    connect(recaller, &PresetRecall::finished, this, &SetupMenu::reportRecall);
    connect(store, &SetupStore::changed, this, &SetupMenu::namesChanged);
}

SetupMenu::~SetupMenu() = default;

const MatrixSetup& SetupMenu::setup() const
{
    return store->setup();
}

void SetupMenu::popup(int output, int input, const QPoint& globalPosition)
{
    store->reload(); // another program over this folder may have changed it
    emit namesChanged();
    delete menu;
    menu = new QMenu(window);
    menu->setObjectName(QStringLiteral("routingMenu"));
    menu->setAttribute(Qt::WA_DeleteOnClose);

    QMenu* recallMenu = menu->addMenu(tr("&Recall"));
    recallMenu->setObjectName(QStringLiteral("recallMenu"));
    recallMenu->menuAction()->setObjectName(QStringLiteral("recallAction"));
    const QList<Preset> presets = setup().presets();
    for (qsizetype i = 0; i < presets.size(); ++i) {
        const QString name = presets[i].name;
        QAction* action =
            recallMenu->addAction(menuText(name), this, [this, name] { recallPreset(name); });
        action->setObjectName(QStringLiteral("recallPreset_%1").arg(i + 1));
    }
    recallMenu->setEnabled(!presets.isEmpty() && session.isOpen() && !recaller->isRunning());

    QAction* save =
        menu->addAction(tr("&Save current routing as..."), this, &SetupMenu::askForPresetName);
    save->setObjectName(QStringLiteral("saveRoutingAction"));
    save->setEnabled(session.reportedRouting().has_value());
    menu->addSeparator();

    QAction* nameOutput = menu->addAction(tr("Name this &output..."), this,
                                          [this, output] { askForName(true, output); });
    nameOutput->setObjectName(QStringLiteral("nameOutputAction"));
    nameOutput->setEnabled(output != 0);
    if (input != 0) {
        menu->addAction(tr("Name this &input..."), this,
                        [this, input] { askForName(false, input); })
            ->setObjectName(QStringLiteral("nameInputAction"));
    }
    menu->addSeparator();
    menu->addAction(tr("&Manage presets..."), this, &SetupMenu::openPresetManager)
        ->setObjectName(QStringLiteral("managePresetsAction"));
    menu->popup(globalPosition);
}

void SetupMenu::askForName(bool output, int index)
{
    const QString what = output ? tr("output") : tr("input");
    const QString current = output ? setup().outputName(index) : setup().inputName(index);
    auto* dialog =
        new NameDialog(tr("Name %1 %2").arg(what).arg(index),
                       tr("Name of %1 %2 (empty for none):").arg(what).arg(index), current, window);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QDialog::accepted, this, [this, dialog, output, index] {
        change({output ? SetupEdit::Kind::OutputName : SetupEdit::Kind::InputName,
                index,
                dialog->name(),
                {}});
    });
    dialog->open();
}

void SetupMenu::change(const SetupEdit& edit, const std::optional<Routing>& routing)
{
    SetupChange* made = store->change(edit, routing);
    connect(made, &SetupChange::finished, this, [this, made] {
        if (!made->errorString().isEmpty())
            emit note(made->errorString());
    });
}

void SetupMenu::askForPresetName()
{
    const std::optional<Routing> routing = session.reportedRouting();
    if (!routing)
        return;
    const Routing kept = *routing;
    auto* dialog = new NameDialog(tr("Save routing"),
                                  tr("Preset name for %1:").arg(MatrixSetup::routingText(kept)),
                                  QString(), window, [this](const QString& typed) {
                                      const std::optional<Preset> found = setup().findPreset(typed);
                                      return found && found->name == typed
                                                 ? tr("Replaces the preset of this name.")
                                                 : QString();
                                  });
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QDialog::accepted, this, [this, dialog, kept] {
        change({SetupEdit::Kind::SavePreset, 0, dialog->name(), {}}, kept);
    });
    dialog->open();
}

void SetupMenu::openPresetManager()
{
    auto* dialog = new PresetManagerDialog(*store, window);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &PresetManagerDialog::recallRequested, this, &SetupMenu::recallPreset);
    dialog->open();
}

void SetupMenu::recallPreset(const QString& name)
{
    const std::optional<Preset> preset = setup().findPreset(name);
    QString refusal;
    if (!preset)
        refusal = tr("Preset \"%1\" is no longer there.").arg(name);
    else if (!session.isOpen())
        refusal = tr("Preset \"%1\" not recalled: the port is closed.").arg(name);
    else if (!recaller->recall(*preset, session.reportedRouting()))
        refusal = tr("Preset \"%1\" not recalled: another recall is running.").arg(name);
    if (!refusal.isEmpty())
        emit note(refusal);
}

void SetupMenu::reportRecall(const PresetRecall::Result& result)
{
    const QString note = PresetRecall::describe(result);
    if (note.isEmpty())
        return;
    // After the lines of the report that ended the recall, which is being handled now.
    QTimer::singleShot(0, this, [this, note] { emit this->note(note); });
}
