#pragma once

class QWidget;

namespace vantle {

class ClientServerController;
class MRTransferController;
class SheetPresenter;

// What a room of the window works with; owned by the controller, alive as long as the room.
struct WindowParts {
    MRTransferController& transfer;
    ClientServerController& clientServer;
    SheetPresenter& presenter;
    // The window, over which the room's dialogs open.
    QWidget* window = nullptr;
};

} // namespace vantle
