<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US" sourcelanguage="en">
<context>
    <name>FileRow</name>
    <message>
        <location filename="../src/app/FileRowData.h" line="+21"/>
        <source>sending</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>waiting</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>downloading %1 %</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>downloading</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>on the phone</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+10"/>
        <source>%1, %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+3"/>
        <source>folder</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>vantle::AppController</name>
    <message>
        <location filename="../src/app/AppControllerHelp.cpp" line="+47"/>
        <source>Connection Diagnostics</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Connected now to %1 (%2): that connection works; while it lasts the phone may not answer the checks below. </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Checking the network and looking for iPhones...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/app/AppControllerMenus.cpp" line="+23"/>
        <source>Manual Connect Mode</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>File</source>
        <extracomment>The File menu&apos;s name as a text names it, without its &quot;&amp;&quot;</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+18"/>
        <source>Vantle is no longer searching for iPhones.  To make a connection, you must use the &quot;Manual Connect...&quot; menu option.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+20"/>
        <source>Vantle is not searching for iPhones.

To make a connection, choose &quot;Automatically Connect&quot; from the %1 menu, or use the &quot;Manual Connect...&quot; menu option.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+6"/>
        <source>OK</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Don&apos;t Remind Me Again</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/app/AppControllerQueue.cpp" line="+51"/>
        <source>Show in File Manager</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Remove from Queue</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+58"/>
        <source>Select file(s) to copy to your iPhone.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Add</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/app/AppControllerStartup.cpp" line="+47"/>
        <source>Drag files here for
future transfer
to your iPhone</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Drag files here
to transfer to
your iPhone</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Waiting for approval
from iPhone...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+67"/>
        <source>Unable To Load Bonjour</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <location filename="../src/app/AppControllerWindow.cpp" line="+173"/>
        <source>Quit</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/app/AppControllerWindow.cpp" line="-111"/>
        <source>Connection status</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+39"/>
        <location line="+17"/>
        <source>Files awaiting transfer</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="-11"/>
        <location line="+46"/>
        <source>Add Files...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="-45"/>
        <source>Add Files</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Choose files to send to the phone</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+11"/>
        <source>Sent to the phone one after the other. Delete removes the selected files; the menu key shows a file&apos;s actions.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+32"/>
        <source>&amp;File</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Manual Connect...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Transfer History...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Automatically Connect</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Create Debug Logs</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Show Notifications</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Check for Updates...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+7"/>
        <source>&amp;Edit</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Delete</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+9"/>
        <source>Preferences...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+4"/>
        <source>&amp;Help</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Connection Diagnostics...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Connection Help</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Vantle Web Site</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>vantle::ClientServerController</name>
    <message>
        <location filename="../src/transfer/ClientServerSession.cpp" line="+21"/>
        <source>Unable To Search For iPhones</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Unable To Connect</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Unable to connect to the specified address.  Ensure that your iPhone is turned on and the Vantle iPhone application is open.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>vantle::ConnectionStatus</name>
    <message>
        <location filename="../src/app/status/ConnectionStatus.cpp" line="+31"/>
        <source>Ensure that you have entered the correct network address.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Ensure that you have entered a valid network address.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Ensure that your iPhone is turned on and the Vantle iPhone application is open.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+33"/>
        <source>Searching for iPhones...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+17"/>
        <source>Open Vantle on iPhone to start the transfer</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Not connected.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Welcome to Vantle.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Connected to %1.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Files on connected iPhone</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Waiting for approval...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+50"/>
        <source>Download from %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Files awaiting transfer</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+38"/>
        <source>&quot;%1&quot; refused the connnection. How would you like to proceed?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Connection Refused</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Try Again</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Ignore This iPhone</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+35"/>
        <location line="+6"/>
        <source>Connecting...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+23"/>
        <source>Unable To Connect</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Unable to connect to the specified address.  %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>OK</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>vantle::DesktopNotifications</name>
    <message>
        <location filename="../src/platform/DesktopNotifications.cpp" line="+20"/>
        <source>Show</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>vantle::DesktopNotifier</name>
    <message>
        <location filename="../src/app/notify/DesktopNotifier.cpp" line="+22"/>
        <source>Download Complete</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Upload Failed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+21"/>
        <source>Transfer Complete</source>
        <translation type="unfinished"></translation>
    </message>
    <message numerus="yes">
        <location line="+1"/>
        <source>%n file(s) were sent to your iPhone.</source>
        <translation>
            <numerusform>%n file was sent to your iPhone.</numerusform>
            <numerusform>%n files were sent to your iPhone.</numerusform>
        </translation>
    </message>
    <message>
        <location line="+14"/>
        <source>Vantle Is Still Running</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Your files keep going to your iPhone. To quit Vantle, choose Quit from its icon in the tray.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>vantle::DirectConnectPanel</name>
    <message>
        <location filename="../src/ui/DirectConnectPanel.cpp" line="+18"/>
        <source>Connect</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Manual Connect</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Network address of the iPhone (address or address:port):</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>vantle::DnsSdLibrary</name>
    <message>
        <location filename="../src/net/DnsSdLibrary.cpp" line="+152"/>
        <source>Vantle cannot load the DNS-SD library (libdns_sd.so.1).
Please install the package libavahi-compat-libdnssd1, for example with
sudo apt install libavahi-compat-libdnssd1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+13"/>
        <source>The DNS-SD daemon (avahi-daemon) is not running, so Vantle cannot search for iPhones.  Start it with &quot;sudo systemctl start avahi-daemon&quot;, or use &quot;Manual Connect...&quot; with the iPhone&apos;s address.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>vantle::FSNodeInfo</name>
    <message>
        <location filename="../src/files/FSNodeInfo.cpp" line="+214"/>
        <source>%1 Bytes</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>%1 KB</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+4"/>
        <location line="+2"/>
        <source>%1 MB</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>%1.%2 MB</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>vantle::MRCoolTextView</name>
    <message>
        <location filename="../src/ui/MRCoolTextView.cpp" line="+33"/>
        <source>Files dropped here are added to the queue</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>vantle::PhonePane</name>
    <message>
        <location filename="../src/app/phone/PhoneDownloads.cpp" line="+127"/>
        <source>Download To</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+0"/>
        <location filename="../src/app/phone/PhonePane.cpp" line="+119"/>
        <source>Download</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+22"/>
        <source>Downloading %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+131"/>
        <source>&quot;%1&quot; arrived but could not be saved: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&quot;%1&quot; could not be downloaded: %2.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Unable To Save Download</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Download Failed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/app/phone/PhonePane.cpp" line="-86"/>
        <source>Remove &quot;%1&quot; from the iPhone?</source>
        <translation type="unfinished"></translation>
    </message>
    <message numerus="yes">
        <location line="+3"/>
        <source>Remove %n item(s) from the iPhone?</source>
        <translation>
            <numerusform>Remove %n item from the iPhone?</numerusform>
            <numerusform>Remove %n items from the iPhone?</numerusform>
        </translation>
    </message>
    <message>
        <location line="+15"/>
        <source>Open Vantle on iPhone to start the transfer</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+14"/>
        <source>Enter downloads the selected file and opens it; the menu key shows Download, Download To... and Remove; Delete removes it from the phone.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Download progress</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+50"/>
        <source>Download and Open</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Download To...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <location line="+183"/>
        <source>Remove</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="-4"/>
        <source>The file is deleted on the iPhone. This cannot be undone.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>The items are deleted on the iPhone. This cannot be undone.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Cancel</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>vantle::PreferencesDialog</name>
    <message>
        <location filename="../src/app/prefs/PreferencesDialog.cpp" line="+29"/>
        <source>Preferences</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+20"/>
        <source>Connection</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Downloads</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Downloads from the iPhone are saved in:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Use Default</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Change...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+10"/>
        <source>Desktop</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Keep running in the tray when the window is closed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Start at login</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+32"/>
        <source>This desktop has no system tray.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Download Folder</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Choose</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+15"/>
        <source>Unable To Use Folder</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Downloads cannot go there: %1. They still go to &quot;%2&quot;.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+11"/>
        <source>Unable To Change Start At Login</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>vantle::ReportDialog</name>
    <message>
        <location filename="../src/ui/ReportDialog.cpp" line="+21"/>
        <source>Copy</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>vantle::SheetPresenter</name>
    <message>
        <location filename="../src/ui/SheetPresenter.cpp" line="+83"/>
        <source>Cancel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+12"/>
        <source>OK</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>vantle::StayAwake</name>
    <message numerus="yes">
        <location filename="../src/app/awake/StayAwake.cpp" line="+16"/>
        <source>%n item(s)</source>
        <translation>
            <numerusform>%n item</numerusform>
            <numerusform>%n items</numerusform>
        </translation>
    </message>
    <message>
        <location line="+19"/>
        <source>your iPhone</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Sending %1 to and receiving %2 from %3</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Sending %1 to %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Receiving %1 from %2</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>vantle::TransferHistoryModel</name>
    <message>
        <location filename="../src/app/history/TransferHistoryModel.cpp" line="+26"/>
        <source>Sent</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Received</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Failed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Failed: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Cancelled</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+46"/>
        <source>Time</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Direction</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Name</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Size</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Phone</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Result</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>vantle::TransferHistoryWindow</name>
    <message>
        <location filename="../src/app/history/TransferHistoryWindow.cpp" line="+37"/>
        <source>Transfer History</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Loading...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+23"/>
        <source>Open</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Show in File Manager</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <location line="+12"/>
        <source>Remove from History</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="-11"/>
        <location line="+77"/>
        <source>Clear</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="-2"/>
        <source>Clear Transfer History?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Every entry of the history is removed. The files themselves stay where they are.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Cancel</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>vantle::TransferRecord</name>
    <message>
        <location filename="../src/app/TransferRecord.h" line="+39"/>
        <source>The connection was lost.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>vantle::TrayIcon</name>
    <message>
        <location filename="../src/app/tray/TrayIcon.cpp" line="+38"/>
        <source>Show Vantle</source>
        <translation type="unfinished"></translation>
    </message>
    <message numerus="yes">
        <location line="+79"/>
        <source>Sending %n item(s)</source>
        <translation>
            <numerusform>Sending %n item</numerusform>
            <numerusform>Sending %n items</numerusform>
        </translation>
    </message>
    <message>
        <location line="+2"/>
        <source>%1, %2 %</source>
        <extracomment>The tray&apos;s tool tip: what is being sent, then how much of it in per cent</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Not connected</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Waiting for approval...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Connected to %1</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>vantle::UploadFlow</name>
    <message>
        <location filename="../src/app/upload/UploadFlow.cpp" line="+40"/>
        <source>It was moved or deleted before it could be sent.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+26"/>
        <source>Stop</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Stop Upload</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Stops sending the file in front of the queue</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Upload details</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+17"/>
        <source>Upload progress</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Sending %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/app/upload/UploadSheets.cpp" line="+14"/>
        <source>Do the same for the other items</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>File Exists On Device</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+25"/>
        <source>A file or folder named &quot;%1&quot; already exists in your Vantle.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Replace</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <location line="+54"/>
        <source>Cancel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="-53"/>
        <source>Make Unique</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+13"/>
        <source>File Name or Path Too Long</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Vantle is unable to transfer the folder named &quot;%1&quot; because a file name or folder path is too long.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Vantle is unable to transfer the item named &quot;%1&quot; because the file name or the name of a file contained within it is too long.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Vantle is unable to transfer the file named &quot;%1&quot; because the file&apos;s name is too long.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+3"/>
        <source>OK</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+6"/>
        <source>A file or folder named &quot;%1&quot; already exists in your Vantle, and no free name was found for a copy beside it.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Error Uploading File</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>A file could not be opened for reading.  It may be unavailable or in use by another application.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+4"/>
        <location line="+5"/>
        <source>Error Uploading to Device</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="-4"/>
        <source>There was an error uploading your files to the device. The connection was lost or timed out.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+6"/>
        <source>There was an error uploading your files to the device. (Error: %1)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Try again</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>vantle::UploadProgressText</name>
    <message>
        <location filename="../src/app/UploadProgressText.cpp" line="+51"/>
        <source>%1 of %2</source>
        <extracomment>Sizes: what was sent of the whole</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+5"/>
        <source>%1, %2/s</source>
        <extracomment>The details so far, then the speed (a size per second)</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+6"/>
        <source>%1, %2 left</source>
        <extracomment>The details so far, then the time still needed</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message numerus="yes">
        <location line="+5"/>
        <source>%1, %n item(s) left</source>
        <extracomment>The details so far, then the items still to send</extracomment>
        <translation>
            <numerusform>%1, %n item left</numerusform>
            <numerusform>%1, %n items left</numerusform>
        </translation>
    </message>
    <message>
        <location line="+8"/>
        <source>%1 s</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>%1 min %2 s</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+3"/>
        <source>%1 h %2 min</source>
        <translation type="unfinished"></translation>
    </message>
</context>
</TS>
