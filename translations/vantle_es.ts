<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="es_ES" sourcelanguage="en">
<context>
    <name>FileRow</name>
    <message>
        <location filename="../src/app/FileRowData.h" line="+21"/>
        <source>sending</source>
        <translation>enviando</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>waiting</source>
        <translation>en espera</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>downloading %1 %</source>
        <translation>descargando, %1 %</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>downloading</source>
        <translation>descargando</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>on the phone</source>
        <translation>en el iPhone</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>%1, %2</source>
        <translation>%1, %2</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>folder</source>
        <translation>carpeta</translation>
    </message>
</context>
<context>
    <name>vantle::AppController</name>
    <message>
        <location filename="../src/app/AppControllerHelp.cpp" line="+47"/>
        <source>Connection Diagnostics</source>
        <translation>Diagnóstico de conexión</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Connected now to %1 (%2): that connection works; while it lasts the phone may not answer the checks below. </source>
        <translation>Conectado ahora a %1 (%2): esa conexión funciona; mientras dure, puede que el teléfono no responda a las comprobaciones siguientes. </translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Checking the network and looking for iPhones...</source>
        <translation>Comprobando la red y buscando dispositivos iPhone...</translation>
    </message>
    <message>
        <location filename="../src/app/AppControllerMenus.cpp" line="+23"/>
        <source>Manual Connect Mode</source>
        <translation>Modo de conexión manual</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>File</source>
        <extracomment>The File menu&apos;s name as a text names it, without its &quot;&amp;&quot;</extracomment>
        <translation>Archivo</translation>
    </message>
    <message>
        <location line="+18"/>
        <source>Vantle is no longer searching for iPhones.  To make a connection, you must use the &quot;Manual Connect...&quot; menu option.</source>
        <translation>Vantle ya no busca dispositivos iPhone. Para conectar, hay que usar la opción de menú «Conexión manual...».</translation>
    </message>
    <message>
        <location line="+20"/>
        <source>Vantle is not searching for iPhones.

To make a connection, choose &quot;Automatically Connect&quot; from the %1 menu, or use the &quot;Manual Connect...&quot; menu option.</source>
        <translation>Vantle no está buscando dispositivos iPhone.

Para conectar, se puede elegir «Conectar automáticamente» en el menú %1 o usar la opción de menú «Conexión manual...».</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>OK</source>
        <translation>Aceptar</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Don&apos;t Remind Me Again</source>
        <translation>No volver a recordar</translation>
    </message>
    <message>
        <location filename="../src/app/AppControllerQueue.cpp" line="+51"/>
        <source>Show in File Manager</source>
        <translation>Mostrar en el gestor de archivos</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Remove from Queue</source>
        <translation>Quitar de la cola</translation>
    </message>
    <message>
        <location line="+58"/>
        <source>Select file(s) to copy to your iPhone.</source>
        <translation>Seleccionar archivos para copiar al iPhone.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Add</source>
        <translation>Añadir</translation>
    </message>
    <message>
        <location filename="../src/app/AppControllerStartup.cpp" line="+47"/>
        <source>Drag files here for
future transfer
to your iPhone</source>
        <translation>Arrastrar archivos aquí
para transferirlos
más tarde al iPhone</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Drag files here
to transfer to
your iPhone</source>
        <translation>Arrastrar archivos aquí
para transferirlos
al iPhone</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Waiting for approval
from iPhone...</source>
        <translation>Esperando aprobación
del iPhone...</translation>
    </message>
    <message>
        <location line="+67"/>
        <source>Unable To Load Bonjour</source>
        <translation>No se puede cargar Bonjour</translation>
    </message>
    <message>
        <location line="+2"/>
        <location filename="../src/app/AppControllerWindow.cpp" line="+173"/>
        <source>Quit</source>
        <translation>Salir</translation>
    </message>
    <message>
        <location filename="../src/app/AppControllerWindow.cpp" line="-111"/>
        <source>Connection status</source>
        <translation>Estado de la conexión</translation>
    </message>
    <message>
        <location line="+39"/>
        <location line="+17"/>
        <source>Files awaiting transfer</source>
        <translation>Archivos pendientes de transferir</translation>
    </message>
    <message>
        <location line="-11"/>
        <location line="+46"/>
        <source>Add Files...</source>
        <translation>Añadir archivos...</translation>
    </message>
    <message>
        <location line="-45"/>
        <source>Add Files</source>
        <translation>Añadir archivos</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Choose files to send to the phone</source>
        <translation>Elegir archivos para enviar al iPhone</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>Sent to the phone one after the other. Delete removes the selected files; the menu key shows a file&apos;s actions.</source>
        <translation>Se envían al iPhone uno tras otro. Supr quita los archivos seleccionados; la tecla de menú muestra las acciones de un archivo.</translation>
    </message>
    <message>
        <location line="+32"/>
        <source>&amp;File</source>
        <translation>&amp;Archivo</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Manual Connect...</source>
        <translation>Conexión manual...</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Transfer History...</source>
        <translation>Historial de transferencias...</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Automatically Connect</source>
        <translation>Conectar automáticamente</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Create Debug Logs</source>
        <translation>Crear registros de depuración</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Show Notifications</source>
        <translation>Mostrar notificaciones</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Check for Updates...</source>
        <translation>Buscar actualizaciones...</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>&amp;Edit</source>
        <translation>&amp;Edición</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Delete</source>
        <translation>Eliminar</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>Preferences...</source>
        <translation>Preferencias...</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>&amp;Help</source>
        <translation>Ay&amp;uda</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Connection Diagnostics...</source>
        <translation>Diagnóstico de conexión...</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Connection Help</source>
        <translation>Ayuda de conexión</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Vantle Web Site</source>
        <translation>Sitio web de Vantle</translation>
    </message>
</context>
<context>
    <name>vantle::ClientServerController</name>
    <message>
        <location filename="../src/transfer/ClientServerSession.cpp" line="+21"/>
        <source>Unable To Search For iPhones</source>
        <translation>No se pueden buscar dispositivos iPhone</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Unable To Connect</source>
        <translation>No se puede conectar</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Unable to connect to the specified address.  Ensure that your iPhone is turned on and the Vantle iPhone application is open.</source>
        <translation>No se puede conectar a la dirección indicada. Comprobar que el iPhone está encendido y que la aplicación Vantle está abierta en él.</translation>
    </message>
</context>
<context>
    <name>vantle::ConnectionStatus</name>
    <message>
        <location filename="../src/app/status/ConnectionStatus.cpp" line="+31"/>
        <source>Ensure that you have entered the correct network address.</source>
        <translation>Comprobar que la dirección de red introducida es la correcta.</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Ensure that you have entered a valid network address.</source>
        <translation>Comprobar que la dirección de red introducida es válida.</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Ensure that your iPhone is turned on and the Vantle iPhone application is open.</source>
        <translation>Comprobar que el iPhone está encendido y que la aplicación Vantle está abierta en él.</translation>
    </message>
    <message>
        <location line="+33"/>
        <source>Searching for iPhones...</source>
        <translation>Buscando dispositivos iPhone...</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>Open Vantle on iPhone to start the transfer</source>
        <translation>Abrir Vantle en el iPhone para iniciar la transferencia</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Not connected.</source>
        <translation>Sin conexión.</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Welcome to Vantle.</source>
        <translation>Bienvenido a Vantle.</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Connected to %1.</source>
        <translation>Conectado a %1.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Files on connected iPhone</source>
        <translation>Archivos del iPhone conectado</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Waiting for approval...</source>
        <translation>Esperando aprobación...</translation>
    </message>
    <message>
        <location line="+50"/>
        <source>Download from %1</source>
        <translation>Descargar de %1</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Files awaiting transfer</source>
        <translation>Archivos pendientes de transferir</translation>
    </message>
    <message>
        <location line="+38"/>
        <source>&quot;%1&quot; refused the connnection. How would you like to proceed?</source>
        <translation>«%1» ha rechazado la conexión. ¿Qué hacer ahora?</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Connection Refused</source>
        <translation>Conexión rechazada</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Try Again</source>
        <translation>Reintentar</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Ignore This iPhone</source>
        <translation>Ignorar este iPhone</translation>
    </message>
    <message>
        <location line="+35"/>
        <location line="+6"/>
        <source>Connecting...</source>
        <translation>Conectando...</translation>
    </message>
    <message>
        <location line="+23"/>
        <source>Unable To Connect</source>
        <translation>No se puede conectar</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Unable to connect to the specified address.  %1</source>
        <translation>No se puede conectar a la dirección indicada. %1</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>OK</source>
        <translation>Aceptar</translation>
    </message>
</context>
<context>
    <name>vantle::DesktopNotifications</name>
    <message>
        <location filename="../src/platform/DesktopNotifications.cpp" line="+20"/>
        <source>Show</source>
        <translation>Mostrar</translation>
    </message>
</context>
<context>
    <name>vantle::DesktopNotifier</name>
    <message>
        <location filename="../src/app/notify/DesktopNotifier.cpp" line="+22"/>
        <source>Download Complete</source>
        <translation>Descarga completada</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Upload Failed</source>
        <translation>Error en el envío</translation>
    </message>
    <message>
        <location line="+21"/>
        <source>Transfer Complete</source>
        <translation>Transferencia completada</translation>
    </message>
    <message numerus="yes">
        <location line="+1"/>
        <source>%n file(s) were sent to your iPhone.</source>
        <translation>
            <numerusform>Se ha enviado %n archivo al iPhone.</numerusform>
            <numerusform>Se han enviado %n archivos al iPhone.</numerusform>
        </translation>
    </message>
    <message>
        <location line="+14"/>
        <source>Vantle Is Still Running</source>
        <translation>Vantle sigue en marcha</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Your files keep going to your iPhone. To quit Vantle, choose Quit from its icon in the tray.</source>
        <translation>Los archivos se siguen enviando al iPhone. Para salir de Vantle, hay que elegir «Salir» en su icono de la bandeja del sistema.</translation>
    </message>
</context>
<context>
    <name>vantle::DirectConnectPanel</name>
    <message>
        <location filename="../src/ui/DirectConnectPanel.cpp" line="+18"/>
        <source>Connect</source>
        <translation>Conectar</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Manual Connect</source>
        <translation>Conexión manual</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Network address of the iPhone (address or address:port):</source>
        <translation>Dirección de red del iPhone (dirección o dirección:puerto):</translation>
    </message>
</context>
<context>
    <name>vantle::DnsSdLibrary</name>
    <message>
        <location filename="../src/net/DnsSdLibrary.cpp" line="+152"/>
        <source>Vantle cannot load the DNS-SD library (libdns_sd.so.1).
Please install the package libavahi-compat-libdnssd1, for example with
sudo apt install libavahi-compat-libdnssd1</source>
        <translation>Vantle no puede cargar la biblioteca DNS-SD (libdns_sd.so.1).
Hay que instalar el paquete libavahi-compat-libdnssd1, por ejemplo con
sudo apt install libavahi-compat-libdnssd1</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>The DNS-SD daemon (avahi-daemon) is not running, so Vantle cannot search for iPhones.  Start it with &quot;sudo systemctl start avahi-daemon&quot;, or use &quot;Manual Connect...&quot; with the iPhone&apos;s address.</source>
        <translation>El servicio DNS-SD (avahi-daemon) no está en marcha, así que Vantle no puede buscar dispositivos iPhone. Se puede iniciar con «sudo systemctl start avahi-daemon» o usar «Conexión manual...» con la dirección del iPhone.</translation>
    </message>
</context>
<context>
    <name>vantle::FSNodeInfo</name>
    <message>
        <location filename="../src/files/FSNodeInfo.cpp" line="+214"/>
        <source>%1 Bytes</source>
        <translation>%1 bytes</translation>
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
        <translation>Los archivos que se sueltan aquí se añaden a la cola</translation>
    </message>
</context>
<context>
    <name>vantle::PhonePane</name>
    <message>
        <location filename="../src/app/phone/PhoneDownloads.cpp" line="+127"/>
        <source>Download To</source>
        <translation>Descargar en</translation>
    </message>
    <message>
        <location line="+0"/>
        <location filename="../src/app/phone/PhonePane.cpp" line="+119"/>
        <source>Download</source>
        <translation>Descargar</translation>
    </message>
    <message>
        <location line="+22"/>
        <source>Downloading %1</source>
        <translation>Descargando %1</translation>
    </message>
    <message>
        <location line="+131"/>
        <source>&quot;%1&quot; arrived but could not be saved: %2</source>
        <translation>«%1» ha llegado, pero no se ha podido guardar: %2</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&quot;%1&quot; could not be downloaded: %2.</source>
        <translation>No se ha podido descargar «%1»: %2.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Unable To Save Download</source>
        <translation>No se puede guardar la descarga</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Download Failed</source>
        <translation>Error en la descarga</translation>
    </message>
    <message>
        <location filename="../src/app/phone/PhonePane.cpp" line="-86"/>
        <source>Remove &quot;%1&quot; from the iPhone?</source>
        <translation>¿Eliminar «%1» del iPhone?</translation>
    </message>
    <message numerus="yes">
        <location line="+3"/>
        <source>Remove %n item(s) from the iPhone?</source>
        <translation>
            <numerusform>¿Eliminar %n elemento del iPhone?</numerusform>
            <numerusform>¿Eliminar %n elementos del iPhone?</numerusform>
        </translation>
    </message>
    <message>
        <location line="+15"/>
        <source>Open Vantle on iPhone to start the transfer</source>
        <translation>Abrir Vantle en el iPhone para iniciar la transferencia</translation>
    </message>
    <message>
        <location line="+14"/>
        <source>Enter downloads the selected file and opens it; the menu key shows Download, Download To... and Remove; Delete removes it from the phone.</source>
        <translation>Intro descarga el archivo seleccionado y lo abre; la tecla de menú muestra «Descargar», «Descargar en...» y «Eliminar»; Supr lo elimina del iPhone.</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Download progress</source>
        <translation>Progreso de la descarga</translation>
    </message>
    <message>
        <location line="+50"/>
        <source>Download and Open</source>
        <translation>Descargar y abrir</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Download To...</source>
        <translation>Descargar en...</translation>
    </message>
    <message>
        <location line="+2"/>
        <location line="+183"/>
        <source>Remove</source>
        <translation>Eliminar</translation>
    </message>
    <message>
        <location line="-4"/>
        <source>The file is deleted on the iPhone. This cannot be undone.</source>
        <translation>El archivo se eliminará del iPhone. Esta acción no se puede deshacer.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>The items are deleted on the iPhone. This cannot be undone.</source>
        <translation>Los elementos se eliminarán del iPhone. Esta acción no se puede deshacer.</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Cancel</source>
        <translation>Cancelar</translation>
    </message>
</context>
<context>
    <name>vantle::PreferencesDialog</name>
    <message>
        <location filename="../src/app/prefs/PreferencesDialog.cpp" line="+29"/>
        <source>Preferences</source>
        <translation>Preferencias</translation>
    </message>
    <message>
        <location line="+20"/>
        <source>Connection</source>
        <translation>Conexión</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Downloads</source>
        <translation>Descargas</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Downloads from the iPhone are saved in:</source>
        <translation>Las descargas del iPhone se guardan en:</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Use Default</source>
        <translation>Usar predeterminada</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Change...</source>
        <translation>Cambiar...</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>Desktop</source>
        <translation>Escritorio</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Keep running in the tray when the window is closed</source>
        <translation>Seguir en la bandeja del sistema al cerrar la ventana</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Start at login</source>
        <translation>Abrir al iniciar sesión</translation>
    </message>
    <message>
        <location line="+32"/>
        <source>This desktop has no system tray.</source>
        <translation>Este escritorio no tiene bandeja del sistema.</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Download Folder</source>
        <translation>Carpeta de descargas</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Choose</source>
        <translation>Elegir</translation>
    </message>
    <message>
        <location line="+15"/>
        <source>Unable To Use Folder</source>
        <translation>No se puede usar la carpeta</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Downloads cannot go there: %1. They still go to &quot;%2&quot;.</source>
        <translation>No se puede descargar ahí: %1. Las descargas siguen guardándose en «%2».</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>Unable To Change Start At Login</source>
        <translation>No se puede cambiar «Abrir al iniciar sesión»</translation>
    </message>
</context>
<context>
    <name>vantle::ReportDialog</name>
    <message>
        <location filename="../src/ui/ReportDialog.cpp" line="+21"/>
        <source>Copy</source>
        <translation>Copiar</translation>
    </message>
</context>
<context>
    <name>vantle::SheetPresenter</name>
    <message>
        <location filename="../src/ui/SheetPresenter.cpp" line="+83"/>
        <source>Cancel</source>
        <translation>Cancelar</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>OK</source>
        <translation>Aceptar</translation>
    </message>
</context>
<context>
    <name>vantle::StayAwake</name>
    <message numerus="yes">
        <location filename="../src/app/awake/StayAwake.cpp" line="+16"/>
        <source>%n item(s)</source>
        <translation>
            <numerusform>%n elemento</numerusform>
            <numerusform>%n elementos</numerusform>
        </translation>
    </message>
    <message>
        <location line="+19"/>
        <source>your iPhone</source>
        <translation>iPhone</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Sending %1 to and receiving %2 from %3</source>
        <translation>Enviando %1 a %3 y recibiendo %2</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Sending %1 to %2</source>
        <translation>Enviando %1 a %2</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Receiving %1 from %2</source>
        <translation>Recibiendo %1 de %2</translation>
    </message>
</context>
<context>
    <name>vantle::TransferHistoryModel</name>
    <message>
        <location filename="../src/app/history/TransferHistoryModel.cpp" line="+26"/>
        <source>Sent</source>
        <translation>Enviado</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Received</source>
        <translation>Recibido</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Failed</source>
        <translation>Error</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Failed: %1</source>
        <translation>Error: %1</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Cancelled</source>
        <translation>Cancelado</translation>
    </message>
    <message>
        <location line="+46"/>
        <source>Time</source>
        <translation>Fecha</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Direction</source>
        <translation>Sentido</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Name</source>
        <translation>Nombre</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Size</source>
        <translation>Tamaño</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Phone</source>
        <translation>Teléfono</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Result</source>
        <translation>Resultado</translation>
    </message>
</context>
<context>
    <name>vantle::TransferHistoryWindow</name>
    <message>
        <location filename="../src/app/history/TransferHistoryWindow.cpp" line="+37"/>
        <source>Transfer History</source>
        <translation>Historial de transferencias</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Loading...</source>
        <translation>Cargando...</translation>
    </message>
    <message>
        <location line="+23"/>
        <source>Open</source>
        <translation>Abrir</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Show in File Manager</source>
        <translation>Mostrar en el gestor de archivos</translation>
    </message>
    <message>
        <location line="+1"/>
        <location line="+12"/>
        <source>Remove from History</source>
        <translation>Quitar del historial</translation>
    </message>
    <message>
        <location line="-11"/>
        <location line="+77"/>
        <source>Clear</source>
        <translation>Vaciar</translation>
    </message>
    <message>
        <location line="-2"/>
        <source>Clear Transfer History?</source>
        <translation>¿Vaciar el historial de transferencias?</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Every entry of the history is removed. The files themselves stay where they are.</source>
        <translation>Se quitarán todas las entradas del historial. Los archivos seguirán donde están.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Cancel</source>
        <translation>Cancelar</translation>
    </message>
</context>
<context>
    <name>vantle::TransferRecord</name>
    <message>
        <location filename="../src/app/TransferRecord.h" line="+39"/>
        <source>The connection was lost.</source>
        <translation>Se ha perdido la conexión.</translation>
    </message>
</context>
<context>
    <name>vantle::TrayIcon</name>
    <message>
        <location filename="../src/app/tray/TrayIcon.cpp" line="+38"/>
        <source>Show Vantle</source>
        <translation>Mostrar Vantle</translation>
    </message>
    <message numerus="yes">
        <location line="+79"/>
        <source>Sending %n item(s)</source>
        <translation>
            <numerusform>Enviando %n elemento</numerusform>
            <numerusform>Enviando %n elementos</numerusform>
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
        <translation>Sin conexión</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Waiting for approval...</source>
        <translation>Esperando aprobación...</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Connected to %1</source>
        <translation>Conectado a %1</translation>
    </message>
</context>
<context>
    <name>vantle::UploadFlow</name>
    <message>
        <location filename="../src/app/upload/UploadFlow.cpp" line="+40"/>
        <source>It was moved or deleted before it could be sent.</source>
        <translation>Se ha movido o eliminado antes de poder enviarse.</translation>
    </message>
    <message>
        <location line="+26"/>
        <source>Stop</source>
        <translation>Detener</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Stop Upload</source>
        <translation>Detener el envío</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Stops sending the file in front of the queue</source>
        <translation>Detiene el envío del primer archivo de la cola</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Upload details</source>
        <translation>Detalles del envío</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>Upload progress</source>
        <translation>Progreso del envío</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Sending %1</source>
        <translation>Enviando %1</translation>
    </message>
    <message>
        <location filename="../src/app/upload/UploadSheets.cpp" line="+14"/>
        <source>Do the same for the other items</source>
        <translation>Hacer lo mismo con los demás elementos</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>File Exists On Device</source>
        <translation>El archivo ya existe en el dispositivo</translation>
    </message>
    <message>
        <location line="+25"/>
        <source>A file or folder named &quot;%1&quot; already exists in your Vantle.</source>
        <translation>Ya existe un archivo o carpeta con el nombre «%1» en Vantle del iPhone.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Replace</source>
        <translation>Reemplazar</translation>
    </message>
    <message>
        <location line="+1"/>
        <location line="+54"/>
        <source>Cancel</source>
        <translation>Cancelar</translation>
    </message>
    <message>
        <location line="-53"/>
        <source>Make Unique</source>
        <translation>Usar nombre único</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>File Name or Path Too Long</source>
        <translation>Nombre o ruta demasiado largos</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Vantle is unable to transfer the folder named &quot;%1&quot; because a file name or folder path is too long.</source>
        <translation>Vantle no puede transferir la carpeta «%1» porque contiene un nombre de archivo o una ruta de carpeta demasiado largos.</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Vantle is unable to transfer the item named &quot;%1&quot; because the file name or the name of a file contained within it is too long.</source>
        <translation>Vantle no puede transferir el elemento «%1» porque su nombre o el de un archivo que contiene es demasiado largo.</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Vantle is unable to transfer the file named &quot;%1&quot; because the file&apos;s name is too long.</source>
        <translation>Vantle no puede transferir el archivo «%1» porque su nombre es demasiado largo.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>OK</source>
        <translation>Aceptar</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>A file or folder named &quot;%1&quot; already exists in your Vantle, and no free name was found for a copy beside it.</source>
        <translation>Ya existe un archivo o carpeta con el nombre «%1» en Vantle del iPhone y no se ha encontrado ningún nombre libre para una copia junto a él.</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Error Uploading File</source>
        <translation>Error al enviar el archivo</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>A file could not be opened for reading.  It may be unavailable or in use by another application.</source>
        <translation>No se ha podido abrir un archivo para leerlo. Puede que no esté disponible o que otra aplicación lo esté usando.</translation>
    </message>
    <message>
        <location line="+4"/>
        <location line="+5"/>
        <source>Error Uploading to Device</source>
        <translation>Error al enviar al dispositivo</translation>
    </message>
    <message>
        <location line="-4"/>
        <source>There was an error uploading your files to the device. The connection was lost or timed out.</source>
        <translation>Se ha producido un error al enviar los archivos al dispositivo. Se ha perdido la conexión o se ha agotado el tiempo de espera.</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>There was an error uploading your files to the device. (Error: %1)</source>
        <translation>Se ha producido un error al enviar los archivos al dispositivo. (Error: %1)</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Try again</source>
        <translation>Reintentar</translation>
    </message>
</context>
<context>
    <name>vantle::UploadProgressText</name>
    <message>
        <location filename="../src/app/UploadProgressText.cpp" line="+51"/>
        <source>%1 of %2</source>
        <extracomment>Sizes: what was sent of the whole</extracomment>
        <translation>%1 de %2</translation>
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
        <translation>%1, quedan %2</translation>
    </message>
    <message numerus="yes">
        <location line="+5"/>
        <source>%1, %n item(s) left</source>
        <extracomment>The details so far, then the items still to send</extracomment>
        <translation>
            <numerusform>%1, queda %n elemento</numerusform>
            <numerusform>%1, quedan %n elementos</numerusform>
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
