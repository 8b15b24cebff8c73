<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE" sourcelanguage="en">
<context>
    <name>FileRow</name>
    <message>
        <location filename="../src/app/FileRowData.h" line="+21"/>
        <source>sending</source>
        <translation>wird gesendet</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>waiting</source>
        <translation>wartet</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>downloading %1 %</source>
        <translation>wird heruntergeladen, %1 %</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>downloading</source>
        <translation>wird heruntergeladen</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>on the phone</source>
        <translation>auf dem iPhone</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>%1, %2</source>
        <translation>%1, %2</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>folder</source>
        <translation>Ordner</translation>
    </message>
</context>
<context>
    <name>vantle::AppController</name>
    <message>
        <location filename="../src/app/AppControllerHelp.cpp" line="+47"/>
        <source>Connection Diagnostics</source>
        <translation>Verbindungsdiagnose</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Connected now to %1 (%2): that connection works; while it lasts the phone may not answer the checks below. </source>
        <translation>Derzeit verbunden mit %1 (%2): Diese Verbindung funktioniert; solange sie besteht, antwortet das Telefon möglicherweise nicht auf die folgenden Prüfungen. </translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Checking the network and looking for iPhones...</source>
        <translation>Netzwerk wird geprüft und nach iPhones gesucht...</translation>
    </message>
    <message>
        <location filename="../src/app/AppControllerMenus.cpp" line="+23"/>
        <source>Manual Connect Mode</source>
        <translation>Manueller Verbindungsmodus</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>File</source>
        <extracomment>The File menu&apos;s name as a text names it, without its &quot;&amp;&quot;</extracomment>
        <translation>Datei</translation>
    </message>
    <message>
        <location line="+18"/>
        <source>Vantle is no longer searching for iPhones.  To make a connection, you must use the &quot;Manual Connect...&quot; menu option.</source>
        <translation>Vantle sucht nicht mehr nach iPhones.  Um eine Verbindung herzustellen, verwenden Sie den Menübefehl „Manuell verbinden...“.</translation>
    </message>
    <message>
        <location line="+20"/>
        <source>Vantle is not searching for iPhones.

To make a connection, choose &quot;Automatically Connect&quot; from the %1 menu, or use the &quot;Manual Connect...&quot; menu option.</source>
        <translation>Vantle sucht nicht nach iPhones.

Um eine Verbindung herzustellen, wählen Sie „Automatisch verbinden“ im Menü „%1“ oder verwenden Sie den Menübefehl „Manuell verbinden...“.</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Don&apos;t Remind Me Again</source>
        <translation>Nicht mehr erinnern</translation>
    </message>
    <message>
        <location filename="../src/app/AppControllerQueue.cpp" line="+51"/>
        <source>Show in File Manager</source>
        <translation>Im Dateimanager anzeigen</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Remove from Queue</source>
        <translation>Aus der Warteschlange entfernen</translation>
    </message>
    <message>
        <location line="+58"/>
        <source>Select file(s) to copy to your iPhone.</source>
        <translation>Dateien zum Kopieren auf Ihr iPhone auswählen.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Add</source>
        <translation>Hinzufügen</translation>
    </message>
    <message>
        <location filename="../src/app/AppControllerStartup.cpp" line="+47"/>
        <source>Drag files here for
future transfer
to your iPhone</source>
        <translation>Dateien hierher ziehen,
um sie später auf
Ihr iPhone zu übertragen</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Drag files here
to transfer to
your iPhone</source>
        <translation>Dateien hierher ziehen,
um sie auf Ihr
iPhone zu übertragen</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Waiting for approval
from iPhone...</source>
        <translation>Warten auf Freigabe
durch das iPhone...</translation>
    </message>
    <message>
        <location line="+67"/>
        <source>Unable To Load Bonjour</source>
        <translation>Bonjour kann nicht geladen werden</translation>
    </message>
    <message>
        <location line="+2"/>
        <location filename="../src/app/AppControllerWindow.cpp" line="+173"/>
        <source>Quit</source>
        <translation>Beenden</translation>
    </message>
    <message>
        <location filename="../src/app/AppControllerWindow.cpp" line="-111"/>
        <source>Connection status</source>
        <translation>Verbindungsstatus</translation>
    </message>
    <message>
        <location line="+39"/>
        <location line="+17"/>
        <source>Files awaiting transfer</source>
        <translation>Zu übertragende Dateien</translation>
    </message>
    <message>
        <location line="-11"/>
        <location line="+46"/>
        <source>Add Files...</source>
        <translation>Dateien hinzufügen...</translation>
    </message>
    <message>
        <location line="-45"/>
        <source>Add Files</source>
        <translation>Dateien hinzufügen</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Choose files to send to the phone</source>
        <translation>Dateien zum Senden an das iPhone auswählen</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>Sent to the phone one after the other. Delete removes the selected files; the menu key shows a file&apos;s actions.</source>
        <translation>Werden nacheinander an das iPhone gesendet. Entf entfernt die ausgewählten Dateien; die Menütaste zeigt die Aktionen einer Datei.</translation>
    </message>
    <message>
        <location line="+32"/>
        <source>&amp;File</source>
        <translation>&amp;Datei</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Manual Connect...</source>
        <translation>Manuell verbinden...</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Transfer History...</source>
        <translation>Übertragungsverlauf...</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Automatically Connect</source>
        <translation>Automatisch verbinden</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Create Debug Logs</source>
        <translation>Debug-Protokolle erstellen</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Show Notifications</source>
        <translation>Benachrichtigungen anzeigen</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Check for Updates...</source>
        <translation>Nach Updates suchen...</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>&amp;Edit</source>
        <translation>&amp;Bearbeiten</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Delete</source>
        <translation>Löschen</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>Preferences...</source>
        <translation>Einstellungen...</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>&amp;Help</source>
        <translation>&amp;Hilfe</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Connection Diagnostics...</source>
        <translation>Verbindungsdiagnose...</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Connection Help</source>
        <translation>Hilfe zur Verbindung</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Vantle Web Site</source>
        <translation>Vantle-Website</translation>
    </message>
</context>
<context>
    <name>vantle::ClientServerController</name>
    <message>
        <location filename="../src/transfer/ClientServerSession.cpp" line="+21"/>
        <source>Unable To Search For iPhones</source>
        <translation>Suche nach iPhones nicht möglich</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Unable To Connect</source>
        <translation>Verbindung nicht möglich</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Unable to connect to the specified address.  Ensure that your iPhone is turned on and the Vantle iPhone application is open.</source>
        <translation>Zur angegebenen Adresse kann keine Verbindung hergestellt werden.  Stellen Sie sicher, dass Ihr iPhone eingeschaltet und die Vantle-App auf dem iPhone geöffnet ist.</translation>
    </message>
</context>
<context>
    <name>vantle::ConnectionStatus</name>
    <message>
        <location filename="../src/app/status/ConnectionStatus.cpp" line="+31"/>
        <source>Ensure that you have entered the correct network address.</source>
        <translation>Stellen Sie sicher, dass Sie die richtige Netzwerkadresse eingegeben haben.</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Ensure that you have entered a valid network address.</source>
        <translation>Stellen Sie sicher, dass Sie eine gültige Netzwerkadresse eingegeben haben.</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Ensure that your iPhone is turned on and the Vantle iPhone application is open.</source>
        <translation>Stellen Sie sicher, dass Ihr iPhone eingeschaltet und die Vantle-App auf dem iPhone geöffnet ist.</translation>
    </message>
    <message>
        <location line="+33"/>
        <source>Searching for iPhones...</source>
        <translation>Suche nach iPhones...</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>Open Vantle on iPhone to start the transfer</source>
        <translation>Öffnen Sie Vantle auf dem iPhone zum Übertragen</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Not connected.</source>
        <translation>Nicht verbunden.</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Welcome to Vantle.</source>
        <translation>Willkommen bei Vantle.</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Connected to %1.</source>
        <translation>Verbunden mit %1.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Files on connected iPhone</source>
        <translation>Dateien auf dem verbundenen iPhone</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Waiting for approval...</source>
        <translation>Warten auf Freigabe...</translation>
    </message>
    <message>
        <location line="+50"/>
        <source>Download from %1</source>
        <translation>Download aus %1</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Files awaiting transfer</source>
        <translation>Zu übertragende Dateien</translation>
    </message>
    <message>
        <location line="+38"/>
        <source>&quot;%1&quot; refused the connnection. How would you like to proceed?</source>
        <translation>„%1“ hat die Verbindung abgelehnt. Wie möchten Sie fortfahren?</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Connection Refused</source>
        <translation>Verbindung abgelehnt</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Try Again</source>
        <translation>Erneut versuchen</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Ignore This iPhone</source>
        <translation>Dieses iPhone ignorieren</translation>
    </message>
    <message>
        <location line="+35"/>
        <location line="+6"/>
        <source>Connecting...</source>
        <translation>Verbinden...</translation>
    </message>
    <message>
        <location line="+23"/>
        <source>Unable To Connect</source>
        <translation>Verbindung nicht möglich</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Unable to connect to the specified address.  %1</source>
        <translation>Zur angegebenen Adresse kann keine Verbindung hergestellt werden.  %1</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>OK</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>vantle::DesktopNotifications</name>
    <message>
        <location filename="../src/platform/DesktopNotifications.cpp" line="+20"/>
        <source>Show</source>
        <translation>Anzeigen</translation>
    </message>
</context>
<context>
    <name>vantle::DesktopNotifier</name>
    <message>
        <location filename="../src/app/notify/DesktopNotifier.cpp" line="+22"/>
        <source>Download Complete</source>
        <translation>Download abgeschlossen</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Upload Failed</source>
        <translation>Upload fehlgeschlagen</translation>
    </message>
    <message>
        <location line="+21"/>
        <source>Transfer Complete</source>
        <translation>Übertragung abgeschlossen</translation>
    </message>
    <message numerus="yes">
        <location line="+1"/>
        <source>%n file(s) were sent to your iPhone.</source>
        <translation>
            <numerusform>%n Datei wurde an Ihr iPhone gesendet.</numerusform>
            <numerusform>%n Dateien wurden an Ihr iPhone gesendet.</numerusform>
        </translation>
    </message>
    <message>
        <location line="+14"/>
        <source>Vantle Is Still Running</source>
        <translation>Vantle läuft weiter</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Your files keep going to your iPhone. To quit Vantle, choose Quit from its icon in the tray.</source>
        <translation>Ihre Dateien werden weiter an Ihr iPhone übertragen. Um Vantle zu beenden, wählen Sie „Beenden“ im Menü seines Symbols in der Systemleiste.</translation>
    </message>
</context>
<context>
    <name>vantle::DirectConnectPanel</name>
    <message>
        <location filename="../src/ui/DirectConnectPanel.cpp" line="+18"/>
        <source>Connect</source>
        <translation>Verbinden</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Manual Connect</source>
        <translation>Manuell verbinden</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Network address of the iPhone (address or address:port):</source>
        <translation>Netzwerkadresse des iPhone (Adresse oder Adresse:Port):</translation>
    </message>
</context>
<context>
    <name>vantle::DnsSdLibrary</name>
    <message>
        <location filename="../src/net/DnsSdLibrary.cpp" line="+152"/>
        <source>Vantle cannot load the DNS-SD library (libdns_sd.so.1).
Please install the package libavahi-compat-libdnssd1, for example with
sudo apt install libavahi-compat-libdnssd1</source>
        <translation>Vantle kann die DNS-SD-Bibliothek (libdns_sd.so.1) nicht laden.
Bitte installieren Sie das Paket libavahi-compat-libdnssd1, zum Beispiel mit
sudo apt install libavahi-compat-libdnssd1</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>The DNS-SD daemon (avahi-daemon) is not running, so Vantle cannot search for iPhones.  Start it with &quot;sudo systemctl start avahi-daemon&quot;, or use &quot;Manual Connect...&quot; with the iPhone&apos;s address.</source>
        <translation>Der DNS-SD-Dienst (avahi-daemon) läuft nicht, daher kann Vantle nicht nach iPhones suchen.  Starten Sie ihn mit „sudo systemctl start avahi-daemon“ oder verwenden Sie „Manuell verbinden...“ mit der Adresse des iPhone.</translation>
    </message>
</context>
<context>
    <name>vantle::FSNodeInfo</name>
    <message>
        <location filename="../src/files/FSNodeInfo.cpp" line="+214"/>
        <source>%1 Bytes</source>
        <translation>%1 Byte</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>%1 KB</source>
        <translation>%1 KB</translation>
    </message>
    <message>
        <location line="+4"/>
        <location line="+2"/>
        <source>%1 MB</source>
        <translation>%1 MB</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>%1.%2 MB</source>
        <translation>%1,%2 MB</translation>
    </message>
</context>
<context>
    <name>vantle::MRCoolTextView</name>
    <message>
        <location filename="../src/ui/MRCoolTextView.cpp" line="+33"/>
        <source>Files dropped here are added to the queue</source>
        <translation>Hier abgelegte Dateien werden in die Warteschlange gestellt</translation>
    </message>
</context>
<context>
    <name>vantle::PhonePane</name>
    <message>
        <location filename="../src/app/phone/PhoneDownloads.cpp" line="+127"/>
        <source>Download To</source>
        <translation>Herunterladen nach</translation>
    </message>
    <message>
        <location line="+0"/>
        <location filename="../src/app/phone/PhonePane.cpp" line="+119"/>
        <source>Download</source>
        <translation>Herunterladen</translation>
    </message>
    <message>
        <location line="+22"/>
        <source>Downloading %1</source>
        <translation>%1 wird heruntergeladen</translation>
    </message>
    <message>
        <location line="+131"/>
        <source>&quot;%1&quot; arrived but could not be saved: %2</source>
        <translation>„%1“ ist angekommen, konnte aber nicht gespeichert werden: %2</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&quot;%1&quot; could not be downloaded: %2.</source>
        <translation>„%1“ konnte nicht heruntergeladen werden: %2.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Unable To Save Download</source>
        <translation>Download kann nicht gespeichert werden</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Download Failed</source>
        <translation>Download fehlgeschlagen</translation>
    </message>
    <message>
        <location filename="../src/app/phone/PhonePane.cpp" line="-86"/>
        <source>Remove &quot;%1&quot; from the iPhone?</source>
        <translation>„%1“ vom iPhone entfernen?</translation>
    </message>
    <message numerus="yes">
        <location line="+3"/>
        <source>Remove %n item(s) from the iPhone?</source>
        <translation>
            <numerusform>%n Objekt vom iPhone entfernen?</numerusform>
            <numerusform>%n Objekte vom iPhone entfernen?</numerusform>
        </translation>
    </message>
    <message>
        <location line="+15"/>
        <source>Open Vantle on iPhone to start the transfer</source>
        <translation>Öffnen Sie Vantle auf dem iPhone zum Übertragen</translation>
    </message>
    <message>
        <location line="+14"/>
        <source>Enter downloads the selected file and opens it; the menu key shows Download, Download To... and Remove; Delete removes it from the phone.</source>
        <translation>Eingabe lädt die ausgewählte Datei herunter und öffnet sie; die Menütaste zeigt „Herunterladen“, „Herunterladen nach...“ und „Entfernen“; Entf entfernt sie vom iPhone.</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Download progress</source>
        <translation>Download-Fortschritt</translation>
    </message>
    <message>
        <location line="+50"/>
        <source>Download and Open</source>
        <translation>Herunterladen und öffnen</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Download To...</source>
        <translation>Herunterladen nach...</translation>
    </message>
    <message>
        <location line="+2"/>
        <location line="+183"/>
        <source>Remove</source>
        <translation>Entfernen</translation>
    </message>
    <message>
        <location line="-4"/>
        <source>The file is deleted on the iPhone. This cannot be undone.</source>
        <translation>Die Datei wird auf dem iPhone gelöscht. Dies kann nicht rückgängig gemacht werden.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>The items are deleted on the iPhone. This cannot be undone.</source>
        <translation>Die Objekte werden auf dem iPhone gelöscht. Dies kann nicht rückgängig gemacht werden.</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
</context>
<context>
    <name>vantle::PreferencesDialog</name>
    <message>
        <location filename="../src/app/prefs/PreferencesDialog.cpp" line="+29"/>
        <source>Preferences</source>
        <translation>Einstellungen</translation>
    </message>
    <message>
        <location line="+20"/>
        <source>Connection</source>
        <translation>Verbindung</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Downloads</source>
        <translation>Downloads</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Downloads from the iPhone are saved in:</source>
        <translation>Downloads vom iPhone werden gespeichert in:</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Use Default</source>
        <translation>Standard verwenden</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Change...</source>
        <translation>Ändern...</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>Desktop</source>
        <translation>Desktop</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Keep running in the tray when the window is closed</source>
        <translation>In der Systemleiste weiterlaufen, wenn das Fenster geschlossen ist</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Start at login</source>
        <translation>Beim Anmelden starten</translation>
    </message>
    <message>
        <location line="+32"/>
        <source>This desktop has no system tray.</source>
        <translation>Diese Arbeitsumgebung hat keine Systemleiste.</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Download Folder</source>
        <translation>Download-Ordner</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Choose</source>
        <translation>Auswählen</translation>
    </message>
    <message>
        <location line="+15"/>
        <source>Unable To Use Folder</source>
        <translation>Ordner kann nicht verwendet werden</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Downloads cannot go there: %1. They still go to &quot;%2&quot;.</source>
        <translation>Downloads können dort nicht gespeichert werden: %1. Sie werden weiterhin in „%2“ gespeichert.</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>Unable To Change Start At Login</source>
        <translation>Start beim Anmelden kann nicht geändert werden</translation>
    </message>
</context>
<context>
    <name>vantle::ReportDialog</name>
    <message>
        <location filename="../src/ui/ReportDialog.cpp" line="+21"/>
        <source>Copy</source>
        <translation>Kopieren</translation>
    </message>
</context>
<context>
    <name>vantle::SheetPresenter</name>
    <message>
        <location filename="../src/ui/SheetPresenter.cpp" line="+83"/>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>OK</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>vantle::StayAwake</name>
    <message numerus="yes">
        <location filename="../src/app/awake/StayAwake.cpp" line="+16"/>
        <source>%n item(s)</source>
        <translation>
            <numerusform>%n Objekt</numerusform>
            <numerusform>%n Objekte</numerusform>
        </translation>
    </message>
    <message>
        <location line="+19"/>
        <source>your iPhone</source>
        <translation>Ihrem iPhone</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Sending %1 to and receiving %2 from %3</source>
        <translation>Überträgt %1 zu %3 und empfängt %2 von dort</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Sending %1 to %2</source>
        <translation>Überträgt %1 zu %2</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Receiving %1 from %2</source>
        <translation>Empfängt %1 von %2</translation>
    </message>
</context>
<context>
    <name>vantle::TransferHistoryModel</name>
    <message>
        <location filename="../src/app/history/TransferHistoryModel.cpp" line="+26"/>
        <source>Sent</source>
        <translation>Gesendet</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Received</source>
        <translation>Empfangen</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Failed</source>
        <translation>Fehlgeschlagen</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Failed: %1</source>
        <translation>Fehlgeschlagen: %1</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Cancelled</source>
        <translation>Abgebrochen</translation>
    </message>
    <message>
        <location line="+46"/>
        <source>Time</source>
        <translation>Zeit</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Direction</source>
        <translation>Richtung</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Name</source>
        <translation>Name</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Size</source>
        <translation>Größe</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Phone</source>
        <translation>Telefon</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Result</source>
        <translation>Ergebnis</translation>
    </message>
</context>
<context>
    <name>vantle::TransferHistoryWindow</name>
    <message>
        <location filename="../src/app/history/TransferHistoryWindow.cpp" line="+37"/>
        <source>Transfer History</source>
        <translation>Übertragungsverlauf</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Loading...</source>
        <translation>Wird geladen...</translation>
    </message>
    <message>
        <location line="+23"/>
        <source>Open</source>
        <translation>Öffnen</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Show in File Manager</source>
        <translation>Im Dateimanager anzeigen</translation>
    </message>
    <message>
        <location line="+1"/>
        <location line="+12"/>
        <source>Remove from History</source>
        <translation>Aus dem Verlauf entfernen</translation>
    </message>
    <message>
        <location line="-11"/>
        <location line="+77"/>
        <source>Clear</source>
        <translation>Leeren</translation>
    </message>
    <message>
        <location line="-2"/>
        <source>Clear Transfer History?</source>
        <translation>Übertragungsverlauf leeren?</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Every entry of the history is removed. The files themselves stay where they are.</source>
        <translation>Alle Einträge des Verlaufs werden entfernt. Die Dateien selbst bleiben, wo sie sind.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
</context>
<context>
    <name>vantle::TransferRecord</name>
    <message>
        <location filename="../src/app/TransferRecord.h" line="+39"/>
        <source>The connection was lost.</source>
        <translation>Die Verbindung wurde unterbrochen.</translation>
    </message>
</context>
<context>
    <name>vantle::TrayIcon</name>
    <message>
        <location filename="../src/app/tray/TrayIcon.cpp" line="+38"/>
        <source>Show Vantle</source>
        <translation>Vantle anzeigen</translation>
    </message>
    <message numerus="yes">
        <location line="+79"/>
        <source>Sending %n item(s)</source>
        <translation>
            <numerusform>%n Objekt wird gesendet</numerusform>
            <numerusform>%n Objekte werden gesendet</numerusform>
        </translation>
    </message>
    <message>
        <location line="+2"/>
        <source>%1, %2 %</source>
        <extracomment>The tray&apos;s tool tip: what is being sent, then how much of it in per cent</extracomment>
        <translation>%1, %2 %</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Not connected</source>
        <translation>Nicht verbunden</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Waiting for approval...</source>
        <translation>Warten auf Freigabe...</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Connected to %1</source>
        <translation>Verbunden mit %1</translation>
    </message>
</context>
<context>
    <name>vantle::UploadFlow</name>
    <message>
        <location filename="../src/app/upload/UploadFlow.cpp" line="+40"/>
        <source>It was moved or deleted before it could be sent.</source>
        <translation>Das Objekt wurde verschoben oder gelöscht, bevor es gesendet werden konnte.</translation>
    </message>
    <message>
        <location line="+26"/>
        <source>Stop</source>
        <translation>Stopp</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Stop Upload</source>
        <translation>Übertragung stoppen</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Stops sending the file in front of the queue</source>
        <translation>Beendet das Senden der vordersten Datei der Warteschlange</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Upload details</source>
        <translation>Übertragungsdetails</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>Upload progress</source>
        <translation>Übertragungsfortschritt</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Sending %1</source>
        <translation>%1 wird gesendet</translation>
    </message>
    <message>
        <location filename="../src/app/upload/UploadSheets.cpp" line="+14"/>
        <source>Do the same for the other items</source>
        <translation>Für die übrigen Objekte gleich verfahren</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>File Exists On Device</source>
        <translation>Datei auf dem Gerät bereits vorhanden</translation>
    </message>
    <message>
        <location line="+25"/>
        <source>A file or folder named &quot;%1&quot; already exists in your Vantle.</source>
        <translation>In Ihrem Vantle gibt es bereits eine Datei oder einen Ordner namens „%1“.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Replace</source>
        <translation>Ersetzen</translation>
    </message>
    <message>
        <location line="+1"/>
        <location line="+54"/>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <location line="-53"/>
        <source>Make Unique</source>
        <translation>Eindeutig benennen</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>File Name or Path Too Long</source>
        <translation>Dateiname oder Pfad zu lang</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Vantle is unable to transfer the folder named &quot;%1&quot; because a file name or folder path is too long.</source>
        <translation>Vantle kann den Ordner „%1“ nicht übertragen, weil ein Dateiname oder Ordnerpfad zu lang ist.</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Vantle is unable to transfer the item named &quot;%1&quot; because the file name or the name of a file contained within it is too long.</source>
        <translation>Vantle kann das Objekt „%1“ nicht übertragen, weil sein Name oder der Name einer darin enthaltenen Datei zu lang ist.</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Vantle is unable to transfer the file named &quot;%1&quot; because the file&apos;s name is too long.</source>
        <translation>Vantle kann die Datei „%1“ nicht übertragen, weil ihr Name zu lang ist.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>A file or folder named &quot;%1&quot; already exists in your Vantle, and no free name was found for a copy beside it.</source>
        <translation>In Ihrem Vantle gibt es bereits eine Datei oder einen Ordner namens „%1“, und für eine Kopie daneben wurde kein freier Name gefunden.</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Error Uploading File</source>
        <translation>Fehler beim Hochladen der Datei</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>A file could not be opened for reading.  It may be unavailable or in use by another application.</source>
        <translation>Eine Datei konnte nicht zum Lesen geöffnet werden.  Sie ist möglicherweise nicht verfügbar oder wird von einer anderen Anwendung verwendet.</translation>
    </message>
    <message>
        <location line="+4"/>
        <location line="+5"/>
        <source>Error Uploading to Device</source>
        <translation>Fehler beim Hochladen auf das Gerät</translation>
    </message>
    <message>
        <location line="-4"/>
        <source>There was an error uploading your files to the device. The connection was lost or timed out.</source>
        <translation>Beim Hochladen Ihrer Dateien auf das Gerät ist ein Fehler aufgetreten. Die Verbindung wurde unterbrochen oder hat das Zeitlimit überschritten.</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>There was an error uploading your files to the device. (Error: %1)</source>
        <translation>Beim Hochladen Ihrer Dateien auf das Gerät ist ein Fehler aufgetreten. (Fehler: %1)</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Try again</source>
        <translation>Erneut versuchen</translation>
    </message>
</context>
<context>
    <name>vantle::UploadProgressText</name>
    <message>
        <location filename="../src/app/UploadProgressText.cpp" line="+51"/>
        <source>%1 of %2</source>
        <extracomment>Sizes: what was sent of the whole</extracomment>
        <translation>%1 von %2</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>%1, %2/s</source>
        <extracomment>The details so far, then the speed (a size per second)</extracomment>
        <translation>%1, %2/s</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>%1, %2 left</source>
        <extracomment>The details so far, then the time still needed</extracomment>
        <translation>%1, noch %2</translation>
    </message>
    <message numerus="yes">
        <location line="+5"/>
        <source>%1, %n item(s) left</source>
        <extracomment>The details so far, then the items still to send</extracomment>
        <translation>
            <numerusform>%1, noch %n Objekt</numerusform>
            <numerusform>%1, noch %n Objekte</numerusform>
        </translation>
    </message>
    <message>
        <location line="+8"/>
        <source>%1 s</source>
        <translation>%1 s</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>%1 min %2 s</source>
        <translation>%1 min %2 s</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>%1 h %2 min</source>
        <translation>%1 h %2 min</translation>
    </message>
</context>
</TS>
