<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr_FR" sourcelanguage="en">
<context>
    <name>FileRow</name>
    <message>
        <location filename="../src/app/FileRowData.h" line="+21"/>
        <source>sending</source>
        <translation>envoi en cours</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>waiting</source>
        <translation>en attente</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>downloading %1 %</source>
        <translation>téléchargement en cours, %1 %</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>downloading</source>
        <translation>téléchargement en cours</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>on the phone</source>
        <translation>sur l’iPhone</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>%1, %2</source>
        <translation>%1, %2</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>folder</source>
        <translation>dossier</translation>
    </message>
</context>
<context>
    <name>vantle::AppController</name>
    <message>
        <location filename="../src/app/AppControllerHelp.cpp" line="+47"/>
        <source>Connection Diagnostics</source>
        <translation>Diagnostic de connexion</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Connected now to %1 (%2): that connection works; while it lasts the phone may not answer the checks below. </source>
        <translation>Connecté à %1 (%2)&#xa0;: cette connexion fonctionne&#x202f;; tant qu’elle dure, le téléphone peut ne pas répondre aux vérifications ci-dessous. </translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Checking the network and looking for iPhones...</source>
        <translation>Vérification du réseau et recherche d’iPhone...</translation>
    </message>
    <message>
        <location filename="../src/app/AppControllerMenus.cpp" line="+23"/>
        <source>Manual Connect Mode</source>
        <translation>Mode de connexion manuelle</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>File</source>
        <extracomment>The File menu&apos;s name as a text names it, without its &quot;&amp;&quot;</extracomment>
        <translation>Fichier</translation>
    </message>
    <message>
        <location line="+18"/>
        <source>Vantle is no longer searching for iPhones.  To make a connection, you must use the &quot;Manual Connect...&quot; menu option.</source>
        <translation>Vantle ne recherche plus d’iPhone. Pour établir une connexion, utilisez l’option de menu «&#xa0;Connexion manuelle...&#xa0;».</translation>
    </message>
    <message>
        <location line="+20"/>
        <source>Vantle is not searching for iPhones.

To make a connection, choose &quot;Automatically Connect&quot; from the %1 menu, or use the &quot;Manual Connect...&quot; menu option.</source>
        <translation>Vantle ne recherche pas d’iPhone.

Pour établir une connexion, choisissez «&#xa0;Connexion automatique&#xa0;» dans le menu %1, ou utilisez l’option de menu «&#xa0;Connexion manuelle...&#xa0;».</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Don&apos;t Remind Me Again</source>
        <translation>Ne plus me le rappeler</translation>
    </message>
    <message>
        <location filename="../src/app/AppControllerQueue.cpp" line="+51"/>
        <source>Show in File Manager</source>
        <translation>Afficher dans le gestionnaire de fichiers</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Remove from Queue</source>
        <translation>Retirer de la file d’attente</translation>
    </message>
    <message>
        <location line="+58"/>
        <source>Select file(s) to copy to your iPhone.</source>
        <translation>Sélectionnez les fichiers à copier sur votre iPhone.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Add</source>
        <translation>Ajouter</translation>
    </message>
    <message>
        <location filename="../src/app/AppControllerStartup.cpp" line="+47"/>
        <source>Drag files here for
future transfer
to your iPhone</source>
        <translation>Glissez des fichiers ici
pour les transférer plus tard
sur votre iPhone</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Drag files here
to transfer to
your iPhone</source>
        <translation>Glissez des fichiers ici
pour les transférer
sur votre iPhone</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Waiting for approval
from iPhone...</source>
        <translation>En attente de l’accord
de l’iPhone...</translation>
    </message>
    <message>
        <location line="+67"/>
        <source>Unable To Load Bonjour</source>
        <translation>Impossible de charger Bonjour</translation>
    </message>
    <message>
        <location line="+2"/>
        <location filename="../src/app/AppControllerWindow.cpp" line="+173"/>
        <source>Quit</source>
        <translation>Quitter</translation>
    </message>
    <message>
        <location filename="../src/app/AppControllerWindow.cpp" line="-111"/>
        <source>Connection status</source>
        <translation>État de la connexion</translation>
    </message>
    <message>
        <location line="+39"/>
        <location line="+17"/>
        <source>Files awaiting transfer</source>
        <translation>Fichiers en attente de transfert</translation>
    </message>
    <message>
        <location line="-11"/>
        <location line="+46"/>
        <source>Add Files...</source>
        <translation>Ajouter des fichiers...</translation>
    </message>
    <message>
        <location line="-45"/>
        <source>Add Files</source>
        <translation>Ajouter des fichiers</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Choose files to send to the phone</source>
        <translation>Choisir des fichiers à envoyer à l’iPhone</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>Sent to the phone one after the other. Delete removes the selected files; the menu key shows a file&apos;s actions.</source>
        <translation>Envoyés à l’iPhone l’un après l’autre. Suppr retire les fichiers sélectionnés&#x202f;; la touche Menu affiche les actions d’un fichier.</translation>
    </message>
    <message>
        <location line="+32"/>
        <source>&amp;File</source>
        <translation>&amp;Fichier</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Manual Connect...</source>
        <translation>Connexion manuelle...</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Transfer History...</source>
        <translation>Historique des transferts...</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Automatically Connect</source>
        <translation>Connexion automatique</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Create Debug Logs</source>
        <translation>Créer des journaux de débogage</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Show Notifications</source>
        <translation>Afficher les notifications</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Check for Updates...</source>
        <translation>Rechercher des mises à jour...</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>&amp;Edit</source>
        <translation>É&amp;dition</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Delete</source>
        <translation>Supprimer</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>Preferences...</source>
        <translation>Préférences...</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>&amp;Help</source>
        <translation>&amp;Aide</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Connection Diagnostics...</source>
        <translation>Diagnostic de connexion...</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Connection Help</source>
        <translation>Aide à la connexion</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Vantle Web Site</source>
        <translation>Site web de Vantle</translation>
    </message>
</context>
<context>
    <name>vantle::ClientServerController</name>
    <message>
        <location filename="../src/transfer/ClientServerSession.cpp" line="+21"/>
        <source>Unable To Search For iPhones</source>
        <translation>Impossible de rechercher des iPhone</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Unable To Connect</source>
        <translation>Connexion impossible</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Unable to connect to the specified address.  Ensure that your iPhone is turned on and the Vantle iPhone application is open.</source>
        <translation>Impossible de se connecter à l’adresse indiquée. Vérifiez que votre iPhone est allumé et que l’application Vantle pour iPhone est ouverte.</translation>
    </message>
</context>
<context>
    <name>vantle::ConnectionStatus</name>
    <message>
        <location filename="../src/app/status/ConnectionStatus.cpp" line="+31"/>
        <source>Ensure that you have entered the correct network address.</source>
        <translation>Vérifiez que vous avez saisi la bonne adresse réseau.</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Ensure that you have entered a valid network address.</source>
        <translation>Vérifiez que vous avez saisi une adresse réseau valide.</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Ensure that your iPhone is turned on and the Vantle iPhone application is open.</source>
        <translation>Vérifiez que votre iPhone est allumé et que l’application Vantle pour iPhone est ouverte.</translation>
    </message>
    <message>
        <location line="+33"/>
        <source>Searching for iPhones...</source>
        <translation>Recherche d’iPhone...</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>Open Vantle on iPhone to start the transfer</source>
        <translation>Ouvrez Vantle sur l’iPhone pour lancer le transfert</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Not connected.</source>
        <translation>Non connecté.</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Welcome to Vantle.</source>
        <translation>Bienvenue dans Vantle.</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Connected to %1.</source>
        <translation>Connecté à %1.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Files on connected iPhone</source>
        <translation>Fichiers de l’iPhone connecté</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Waiting for approval...</source>
        <translation>En attente d’accord...</translation>
    </message>
    <message>
        <location line="+50"/>
        <source>Download from %1</source>
        <translation>Télécharger depuis %1</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Files awaiting transfer</source>
        <translation>Fichiers en attente de transfert</translation>
    </message>
    <message>
        <location line="+38"/>
        <source>&quot;%1&quot; refused the connnection. How would you like to proceed?</source>
        <translation>«&#xa0;%1&#xa0;» a refusé la connexion. Que voulez-vous faire&#x202f;?</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Connection Refused</source>
        <translation>Connexion refusée</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Try Again</source>
        <translation>Réessayer</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Ignore This iPhone</source>
        <translation>Ignorer cet iPhone</translation>
    </message>
    <message>
        <location line="+35"/>
        <location line="+6"/>
        <source>Connecting...</source>
        <translation>Connexion en cours...</translation>
    </message>
    <message>
        <location line="+23"/>
        <source>Unable To Connect</source>
        <translation>Connexion impossible</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Unable to connect to the specified address.  %1</source>
        <translation>Impossible de se connecter à l’adresse indiquée. %1</translation>
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
        <translation>Afficher</translation>
    </message>
</context>
<context>
    <name>vantle::DesktopNotifier</name>
    <message>
        <location filename="../src/app/notify/DesktopNotifier.cpp" line="+22"/>
        <source>Download Complete</source>
        <translation>Téléchargement terminé</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Upload Failed</source>
        <translation>Échec de l’envoi</translation>
    </message>
    <message>
        <location line="+21"/>
        <source>Transfer Complete</source>
        <translation>Transfert terminé</translation>
    </message>
    <message numerus="yes">
        <location line="+1"/>
        <source>%n file(s) were sent to your iPhone.</source>
        <translation>
            <numerusform>%n fichier a été envoyé sur votre iPhone.</numerusform>
            <numerusform>%n fichiers ont été envoyés sur votre iPhone.</numerusform>
        </translation>
    </message>
    <message>
        <location line="+14"/>
        <source>Vantle Is Still Running</source>
        <translation>Vantle fonctionne toujours</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Your files keep going to your iPhone. To quit Vantle, choose Quit from its icon in the tray.</source>
        <translation>Vos fichiers continuent d’être envoyés sur votre iPhone. Pour quitter Vantle, choisissez Quitter depuis son icône dans la zone de notification.</translation>
    </message>
</context>
<context>
    <name>vantle::DirectConnectPanel</name>
    <message>
        <location filename="../src/ui/DirectConnectPanel.cpp" line="+18"/>
        <source>Connect</source>
        <translation>Se connecter</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Manual Connect</source>
        <translation>Connexion manuelle</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Network address of the iPhone (address or address:port):</source>
        <translation>Adresse réseau de l’iPhone (adresse ou adresse:port)&#xa0;:</translation>
    </message>
</context>
<context>
    <name>vantle::DnsSdLibrary</name>
    <message>
        <location filename="../src/net/DnsSdLibrary.cpp" line="+152"/>
        <source>Vantle cannot load the DNS-SD library (libdns_sd.so.1).
Please install the package libavahi-compat-libdnssd1, for example with
sudo apt install libavahi-compat-libdnssd1</source>
        <translation>Vantle ne peut pas charger la bibliothèque DNS-SD (libdns_sd.so.1).
Installez le paquet libavahi-compat-libdnssd1, par exemple avec
sudo apt install libavahi-compat-libdnssd1</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>The DNS-SD daemon (avahi-daemon) is not running, so Vantle cannot search for iPhones.  Start it with &quot;sudo systemctl start avahi-daemon&quot;, or use &quot;Manual Connect...&quot; with the iPhone&apos;s address.</source>
        <translation>Le service DNS-SD (avahi-daemon) n’est pas lancé&#x202f;; Vantle ne peut donc pas rechercher d’iPhone. Démarrez-le avec «&#xa0;sudo systemctl start avahi-daemon&#xa0;», ou utilisez «&#xa0;Connexion manuelle...&#xa0;» avec l’adresse de l’iPhone.</translation>
    </message>
</context>
<context>
    <name>vantle::FSNodeInfo</name>
    <message>
        <location filename="../src/files/FSNodeInfo.cpp" line="+214"/>
        <source>%1 Bytes</source>
        <translation>%1&#xa0;octets</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>%1 KB</source>
        <translation>%1&#xa0;Ko</translation>
    </message>
    <message>
        <location line="+4"/>
        <location line="+2"/>
        <source>%1 MB</source>
        <translation>%1&#xa0;Mo</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>%1.%2 MB</source>
        <translation>%1,%2&#xa0;Mo</translation>
    </message>
</context>
<context>
    <name>vantle::MRCoolTextView</name>
    <message>
        <location filename="../src/ui/MRCoolTextView.cpp" line="+33"/>
        <source>Files dropped here are added to the queue</source>
        <translation>Les fichiers déposés ici sont ajoutés à la file d’attente</translation>
    </message>
</context>
<context>
    <name>vantle::PhonePane</name>
    <message>
        <location filename="../src/app/phone/PhoneDownloads.cpp" line="+127"/>
        <source>Download To</source>
        <translation>Télécharger dans</translation>
    </message>
    <message>
        <location line="+0"/>
        <location filename="../src/app/phone/PhonePane.cpp" line="+119"/>
        <source>Download</source>
        <translation>Télécharger</translation>
    </message>
    <message>
        <location line="+22"/>
        <source>Downloading %1</source>
        <translation>Téléchargement de %1</translation>
    </message>
    <message>
        <location line="+131"/>
        <source>&quot;%1&quot; arrived but could not be saved: %2</source>
        <translation>«&#xa0;%1&#xa0;» a été reçu mais n’a pas pu être enregistré&#xa0;: %2</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&quot;%1&quot; could not be downloaded: %2.</source>
        <translation>«&#xa0;%1&#xa0;» n’a pas pu être téléchargé&#xa0;: %2.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Unable To Save Download</source>
        <translation>Impossible d’enregistrer le téléchargement</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Download Failed</source>
        <translation>Échec du téléchargement</translation>
    </message>
    <message>
        <location filename="../src/app/phone/PhonePane.cpp" line="-86"/>
        <source>Remove &quot;%1&quot; from the iPhone?</source>
        <translation>Supprimer «&#xa0;%1&#xa0;» de l’iPhone&#x202f;?</translation>
    </message>
    <message numerus="yes">
        <location line="+3"/>
        <source>Remove %n item(s) from the iPhone?</source>
        <translation>
            <numerusform>Supprimer %n élément de l’iPhone&#x202f;?</numerusform>
            <numerusform>Supprimer %n éléments de l’iPhone&#x202f;?</numerusform>
        </translation>
    </message>
    <message>
        <location line="+15"/>
        <source>Open Vantle on iPhone to start the transfer</source>
        <translation>Ouvrez Vantle sur l’iPhone pour lancer le transfert</translation>
    </message>
    <message>
        <location line="+14"/>
        <source>Enter downloads the selected file and opens it; the menu key shows Download, Download To... and Remove; Delete removes it from the phone.</source>
        <translation>Entrée télécharge le fichier sélectionné et l’ouvre&#x202f;; la touche Menu affiche «&#xa0;Télécharger&#xa0;», «&#xa0;Télécharger dans...&#xa0;» et «&#xa0;Supprimer&#xa0;»&#x202f;; Suppr le supprime de l’iPhone.</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Download progress</source>
        <translation>Progression du téléchargement</translation>
    </message>
    <message>
        <location line="+50"/>
        <source>Download and Open</source>
        <translation>Télécharger et ouvrir</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Download To...</source>
        <translation>Télécharger dans...</translation>
    </message>
    <message>
        <location line="+2"/>
        <location line="+183"/>
        <source>Remove</source>
        <translation>Supprimer</translation>
    </message>
    <message>
        <location line="-4"/>
        <source>The file is deleted on the iPhone. This cannot be undone.</source>
        <translation>Le fichier sera supprimé de l’iPhone. Cette opération est irréversible.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>The items are deleted on the iPhone. This cannot be undone.</source>
        <translation>Les éléments seront supprimés de l’iPhone. Cette opération est irréversible.</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Cancel</source>
        <translation>Annuler</translation>
    </message>
</context>
<context>
    <name>vantle::PreferencesDialog</name>
    <message>
        <location filename="../src/app/prefs/PreferencesDialog.cpp" line="+29"/>
        <source>Preferences</source>
        <translation>Préférences</translation>
    </message>
    <message>
        <location line="+20"/>
        <source>Connection</source>
        <translation>Connexion</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Downloads</source>
        <translation>Téléchargements</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Downloads from the iPhone are saved in:</source>
        <translation>Les téléchargements depuis l’iPhone sont enregistrés dans&#xa0;:</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Use Default</source>
        <translation>Par défaut</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Change...</source>
        <translation>Modifier...</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>Desktop</source>
        <translation>Bureau</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Keep running in the tray when the window is closed</source>
        <translation>Rester dans la zone de notification quand la fenêtre est fermée</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Start at login</source>
        <translation>Lancer à l’ouverture de session</translation>
    </message>
    <message>
        <location line="+32"/>
        <source>This desktop has no system tray.</source>
        <translation>Ce bureau n’a pas de zone de notification.</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Download Folder</source>
        <translation>Dossier de téléchargement</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Choose</source>
        <translation>Choisir</translation>
    </message>
    <message>
        <location line="+15"/>
        <source>Unable To Use Folder</source>
        <translation>Impossible d’utiliser ce dossier</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Downloads cannot go there: %1. They still go to &quot;%2&quot;.</source>
        <translation>Impossible d’y enregistrer les téléchargements&#xa0;: %1. Ils restent enregistrés dans «&#xa0;%2&#xa0;».</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>Unable To Change Start At Login</source>
        <translation>Impossible de modifier le lancement à l’ouverture de session</translation>
    </message>
</context>
<context>
    <name>vantle::ReportDialog</name>
    <message>
        <location filename="../src/ui/ReportDialog.cpp" line="+21"/>
        <source>Copy</source>
        <translation>Copier</translation>
    </message>
</context>
<context>
    <name>vantle::SheetPresenter</name>
    <message>
        <location filename="../src/ui/SheetPresenter.cpp" line="+83"/>
        <source>Cancel</source>
        <translation>Annuler</translation>
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
            <numerusform>%n élément</numerusform>
            <numerusform>%n éléments</numerusform>
        </translation>
    </message>
    <message>
        <location line="+19"/>
        <source>your iPhone</source>
        <translation>votre iPhone</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Sending %1 to and receiving %2 from %3</source>
        <translation>Échange avec %3&#xa0;: envoi de %1, réception de %2</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Sending %1 to %2</source>
        <translation>Envoi de %1 vers %2</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Receiving %1 from %2</source>
        <translation>Réception de %1 depuis %2</translation>
    </message>
</context>
<context>
    <name>vantle::TransferHistoryModel</name>
    <message>
        <location filename="../src/app/history/TransferHistoryModel.cpp" line="+26"/>
        <source>Sent</source>
        <translation>Envoyé</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Received</source>
        <translation>Reçu</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Failed</source>
        <translation>Échec</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Failed: %1</source>
        <translation>Échec&#xa0;: %1</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Cancelled</source>
        <translation>Annulé</translation>
    </message>
    <message>
        <location line="+46"/>
        <source>Time</source>
        <translation>Date</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Direction</source>
        <translation>Sens</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Name</source>
        <translation>Nom</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Size</source>
        <translation>Taille</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Phone</source>
        <translation>Téléphone</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Result</source>
        <translation>Résultat</translation>
    </message>
</context>
<context>
    <name>vantle::TransferHistoryWindow</name>
    <message>
        <location filename="../src/app/history/TransferHistoryWindow.cpp" line="+37"/>
        <source>Transfer History</source>
        <translation>Historique des transferts</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Loading...</source>
        <translation>Chargement...</translation>
    </message>
    <message>
        <location line="+23"/>
        <source>Open</source>
        <translation>Ouvrir</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Show in File Manager</source>
        <translation>Afficher dans le gestionnaire de fichiers</translation>
    </message>
    <message>
        <location line="+1"/>
        <location line="+12"/>
        <source>Remove from History</source>
        <translation>Retirer de l’historique</translation>
    </message>
    <message>
        <location line="-11"/>
        <location line="+77"/>
        <source>Clear</source>
        <translation>Effacer</translation>
    </message>
    <message>
        <location line="-2"/>
        <source>Clear Transfer History?</source>
        <translation>Effacer l’historique des transferts&#x202f;?</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Every entry of the history is removed. The files themselves stay where they are.</source>
        <translation>Toutes les entrées de l’historique seront supprimées. Les fichiers eux-mêmes restent à leur place.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Cancel</source>
        <translation>Annuler</translation>
    </message>
</context>
<context>
    <name>vantle::TransferRecord</name>
    <message>
        <location filename="../src/app/TransferRecord.h" line="+39"/>
        <source>The connection was lost.</source>
        <translation>La connexion a été perdue.</translation>
    </message>
</context>
<context>
    <name>vantle::TrayIcon</name>
    <message>
        <location filename="../src/app/tray/TrayIcon.cpp" line="+38"/>
        <source>Show Vantle</source>
        <translation>Afficher Vantle</translation>
    </message>
    <message numerus="yes">
        <location line="+79"/>
        <source>Sending %n item(s)</source>
        <translation>
            <numerusform>Envoi de %n élément</numerusform>
            <numerusform>Envoi de %n éléments</numerusform>
        </translation>
    </message>
    <message>
        <location line="+2"/>
        <source>%1, %2 %</source>
        <extracomment>The tray&apos;s tool tip: what is being sent, then how much of it in per cent</extracomment>
        <translation>%1, %2&#xa0;%</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Not connected</source>
        <translation>Non connecté</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Waiting for approval...</source>
        <translation>En attente d’accord...</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Connected to %1</source>
        <translation>Connecté à %1</translation>
    </message>
</context>
<context>
    <name>vantle::UploadFlow</name>
    <message>
        <location filename="../src/app/upload/UploadFlow.cpp" line="+40"/>
        <source>It was moved or deleted before it could be sent.</source>
        <translation>Il a été déplacé ou supprimé avant d’avoir pu être envoyé.</translation>
    </message>
    <message>
        <location line="+26"/>
        <source>Stop</source>
        <translation>Arrêter</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Stop Upload</source>
        <translation>Arrêter l’envoi</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Stops sending the file in front of the queue</source>
        <translation>Arrête l’envoi du fichier en tête de la file</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Upload details</source>
        <translation>Détails de l’envoi</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>Upload progress</source>
        <translation>Progression de l’envoi</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Sending %1</source>
        <translation>Envoi de %1</translation>
    </message>
    <message>
        <location filename="../src/app/upload/UploadSheets.cpp" line="+14"/>
        <source>Do the same for the other items</source>
        <translation>Faire de même pour les autres éléments</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>File Exists On Device</source>
        <translation>Le fichier existe sur l’appareil</translation>
    </message>
    <message>
        <location line="+25"/>
        <source>A file or folder named &quot;%1&quot; already exists in your Vantle.</source>
        <translation>Un fichier ou dossier nommé «&#xa0;%1&#xa0;» existe déjà dans votre Vantle.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Replace</source>
        <translation>Remplacer</translation>
    </message>
    <message>
        <location line="+1"/>
        <location line="+54"/>
        <source>Cancel</source>
        <translation>Annuler</translation>
    </message>
    <message>
        <location line="-53"/>
        <source>Make Unique</source>
        <translation>Renommer</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>File Name or Path Too Long</source>
        <translation>Nom ou chemin de fichier trop long</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Vantle is unable to transfer the folder named &quot;%1&quot; because a file name or folder path is too long.</source>
        <translation>Vantle ne peut pas transférer le dossier «&#xa0;%1&#xa0;», car un nom de fichier ou un chemin de dossier est trop long.</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Vantle is unable to transfer the item named &quot;%1&quot; because the file name or the name of a file contained within it is too long.</source>
        <translation>Vantle ne peut pas transférer l’élément «&#xa0;%1&#xa0;», car son nom ou celui d’un fichier qu’il contient est trop long.</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Vantle is unable to transfer the file named &quot;%1&quot; because the file&apos;s name is too long.</source>
        <translation>Vantle ne peut pas transférer le fichier «&#xa0;%1&#xa0;», car son nom est trop long.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>A file or folder named &quot;%1&quot; already exists in your Vantle, and no free name was found for a copy beside it.</source>
        <translation>Un fichier ou dossier nommé «&#xa0;%1&#xa0;» existe déjà dans votre Vantle, et aucun nom libre n’a été trouvé pour une copie à côté.</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Error Uploading File</source>
        <translation>Erreur d’envoi du fichier</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>A file could not be opened for reading.  It may be unavailable or in use by another application.</source>
        <translation>Un fichier n’a pas pu être ouvert en lecture. Il est peut-être indisponible ou utilisé par une autre application.</translation>
    </message>
    <message>
        <location line="+4"/>
        <location line="+5"/>
        <source>Error Uploading to Device</source>
        <translation>Erreur d’envoi vers l’appareil</translation>
    </message>
    <message>
        <location line="-4"/>
        <source>There was an error uploading your files to the device. The connection was lost or timed out.</source>
        <translation>Une erreur s’est produite lors de l’envoi de vos fichiers vers l’appareil. La connexion a été perdue ou a expiré.</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>There was an error uploading your files to the device. (Error: %1)</source>
        <translation>Une erreur s’est produite lors de l’envoi de vos fichiers vers l’appareil. (Erreur&#xa0;: %1)</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Try again</source>
        <translation>Réessayer</translation>
    </message>
</context>
<context>
    <name>vantle::UploadProgressText</name>
    <message>
        <location filename="../src/app/UploadProgressText.cpp" line="+51"/>
        <source>%1 of %2</source>
        <extracomment>Sizes: what was sent of the whole</extracomment>
        <translation>%1 sur %2</translation>
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
        <translation>%1, encore %2</translation>
    </message>
    <message numerus="yes">
        <location line="+5"/>
        <source>%1, %n item(s) left</source>
        <extracomment>The details so far, then the items still to send</extracomment>
        <translation>
            <numerusform>%1, %n élément restant</numerusform>
            <numerusform>%1, %n éléments restants</numerusform>
        </translation>
    </message>
    <message>
        <location line="+8"/>
        <source>%1 s</source>
        <translation>%1&#xa0;s</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>%1 min %2 s</source>
        <translation>%1&#xa0;min %2&#xa0;s</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>%1 h %2 min</source>
        <translation>%1&#xa0;h %2&#xa0;min</translation>
    </message>
</context>
</TS>
