<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="pt_BR" sourcelanguage="en">
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
        <translation>aguardando</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>downloading %1 %</source>
        <translation>baixando, %1%</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>downloading</source>
        <translation>baixando</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>on the phone</source>
        <translation>no iPhone</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>%1, %2</source>
        <translation>%1, %2</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>folder</source>
        <translation>pasta</translation>
    </message>
</context>
<context>
    <name>vantle::AppController</name>
    <message>
        <location filename="../src/app/AppControllerHelp.cpp" line="+47"/>
        <source>Connection Diagnostics</source>
        <translation>Diagnóstico de conexão</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Connected now to %1 (%2): that connection works; while it lasts the phone may not answer the checks below. </source>
        <translation>Conectado agora a %1 (%2): essa conexão funciona; enquanto ela durar, o telefone pode não responder às verificações abaixo. </translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Checking the network and looking for iPhones...</source>
        <translation>Verificando a rede e procurando iPhones...</translation>
    </message>
    <message>
        <location filename="../src/app/AppControllerMenus.cpp" line="+23"/>
        <source>Manual Connect Mode</source>
        <translation>Modo de conexão manual</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>File</source>
        <extracomment>The File menu&apos;s name as a text names it, without its &quot;&amp;&quot;</extracomment>
        <translation>Arquivo</translation>
    </message>
    <message>
        <location line="+18"/>
        <source>Vantle is no longer searching for iPhones.  To make a connection, you must use the &quot;Manual Connect...&quot; menu option.</source>
        <translation>O Vantle não está mais procurando iPhones.  Para fazer uma conexão, você deve usar a opção de menu “Conectar manualmente...”.</translation>
    </message>
    <message>
        <location line="+20"/>
        <source>Vantle is not searching for iPhones.

To make a connection, choose &quot;Automatically Connect&quot; from the %1 menu, or use the &quot;Manual Connect...&quot; menu option.</source>
        <translation>O Vantle não está procurando iPhones.

Para fazer uma conexão, escolha “Conectar automaticamente” no menu %1 ou use a opção de menu “Conectar manualmente...”.</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Don&apos;t Remind Me Again</source>
        <translation>Não lembrar novamente</translation>
    </message>
    <message>
        <location filename="../src/app/AppControllerQueue.cpp" line="+51"/>
        <source>Show in File Manager</source>
        <translation>Mostrar no gerenciador de arquivos</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Remove from Queue</source>
        <translation>Remover da fila</translation>
    </message>
    <message>
        <location line="+58"/>
        <source>Select file(s) to copy to your iPhone.</source>
        <translation>Selecione os arquivos a copiar para o seu iPhone.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Add</source>
        <translation>Adicionar</translation>
    </message>
    <message>
        <location filename="../src/app/AppControllerStartup.cpp" line="+47"/>
        <source>Drag files here for
future transfer
to your iPhone</source>
        <translation>Arraste arquivos aqui
para transferir depois
para o seu iPhone</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Drag files here
to transfer to
your iPhone</source>
        <translation>Arraste arquivos aqui
para transferir para
o seu iPhone</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Waiting for approval
from iPhone...</source>
        <translation>Aguardando aprovação
do iPhone...</translation>
    </message>
    <message>
        <location line="+67"/>
        <source>Unable To Load Bonjour</source>
        <translation>Não foi possível carregar o Bonjour</translation>
    </message>
    <message>
        <location line="+2"/>
        <location filename="../src/app/AppControllerWindow.cpp" line="+173"/>
        <source>Quit</source>
        <translation>Sair</translation>
    </message>
    <message>
        <location filename="../src/app/AppControllerWindow.cpp" line="-111"/>
        <source>Connection status</source>
        <translation>Status da conexão</translation>
    </message>
    <message>
        <location line="+39"/>
        <location line="+17"/>
        <source>Files awaiting transfer</source>
        <translation>Arquivos aguardando transferência</translation>
    </message>
    <message>
        <location line="-11"/>
        <location line="+46"/>
        <source>Add Files...</source>
        <translation>Adicionar arquivos...</translation>
    </message>
    <message>
        <location line="-45"/>
        <source>Add Files</source>
        <translation>Adicionar arquivos</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Choose files to send to the phone</source>
        <translation>Escolher arquivos para enviar ao iPhone</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>Sent to the phone one after the other. Delete removes the selected files; the menu key shows a file&apos;s actions.</source>
        <translation>Enviados ao iPhone um após o outro. Delete remove os arquivos selecionados; a tecla de menu mostra as ações de um arquivo.</translation>
    </message>
    <message>
        <location line="+32"/>
        <source>&amp;File</source>
        <translation>&amp;Arquivo</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Manual Connect...</source>
        <translation>Conectar manualmente...</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Transfer History...</source>
        <translation>Histórico de transferências...</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Automatically Connect</source>
        <translation>Conectar automaticamente</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Create Debug Logs</source>
        <translation>Criar logs de depuração</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Show Notifications</source>
        <translation>Mostrar notificações</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Check for Updates...</source>
        <translation>Verificar atualizações...</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>&amp;Edit</source>
        <translation>&amp;Editar</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Delete</source>
        <translation>Excluir</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>Preferences...</source>
        <translation>Preferências...</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>&amp;Help</source>
        <translation>Aj&amp;uda</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Connection Diagnostics...</source>
        <translation>Diagnóstico de conexão...</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Connection Help</source>
        <translation>Ajuda de conexão</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Vantle Web Site</source>
        <translation>Site do Vantle</translation>
    </message>
</context>
<context>
    <name>vantle::ClientServerController</name>
    <message>
        <location filename="../src/transfer/ClientServerSession.cpp" line="+21"/>
        <source>Unable To Search For iPhones</source>
        <translation>Não foi possível procurar iPhones</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Unable To Connect</source>
        <translation>Não foi possível conectar</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Unable to connect to the specified address.  Ensure that your iPhone is turned on and the Vantle iPhone application is open.</source>
        <translation>Não foi possível conectar ao endereço especificado.  Verifique se o seu iPhone está ligado e se o aplicativo Vantle para iPhone está aberto.</translation>
    </message>
</context>
<context>
    <name>vantle::ConnectionStatus</name>
    <message>
        <location filename="../src/app/status/ConnectionStatus.cpp" line="+31"/>
        <source>Ensure that you have entered the correct network address.</source>
        <translation>Verifique se você digitou o endereço de rede correto.</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Ensure that you have entered a valid network address.</source>
        <translation>Verifique se você digitou um endereço de rede válido.</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Ensure that your iPhone is turned on and the Vantle iPhone application is open.</source>
        <translation>Verifique se o seu iPhone está ligado e se o aplicativo Vantle para iPhone está aberto.</translation>
    </message>
    <message>
        <location line="+33"/>
        <source>Searching for iPhones...</source>
        <translation>Procurando iPhones...</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>Open Vantle on iPhone to start the transfer</source>
        <translation>Abra o Vantle no iPhone para iniciar a transferência</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Not connected.</source>
        <translation>Não conectado.</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Welcome to Vantle.</source>
        <translation>Bem-vindo ao Vantle.</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Connected to %1.</source>
        <translation>Conectado a %1.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Files on connected iPhone</source>
        <translation>Arquivos no iPhone conectado</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Waiting for approval...</source>
        <translation>Aguardando aprovação...</translation>
    </message>
    <message>
        <location line="+50"/>
        <source>Download from %1</source>
        <translation>Baixar de %1</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Files awaiting transfer</source>
        <translation>Arquivos aguardando transferência</translation>
    </message>
    <message>
        <location line="+38"/>
        <source>&quot;%1&quot; refused the connnection. How would you like to proceed?</source>
        <translation>“%1” recusou a conexão. Como você deseja continuar?</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Connection Refused</source>
        <translation>Conexão recusada</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Try Again</source>
        <translation>Tentar novamente</translation>
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
        <translation>Não foi possível conectar</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Unable to connect to the specified address.  %1</source>
        <translation>Não foi possível conectar ao endereço especificado.  %1</translation>
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
        <translation>Mostrar</translation>
    </message>
</context>
<context>
    <name>vantle::DesktopNotifier</name>
    <message>
        <location filename="../src/app/notify/DesktopNotifier.cpp" line="+22"/>
        <source>Download Complete</source>
        <translation>Download concluído</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Upload Failed</source>
        <translation>Falha no envio</translation>
    </message>
    <message>
        <location line="+21"/>
        <source>Transfer Complete</source>
        <translation>Transferência concluída</translation>
    </message>
    <message numerus="yes">
        <location line="+1"/>
        <source>%n file(s) were sent to your iPhone.</source>
        <translation>
            <numerusform>%n arquivo foi enviado para o seu iPhone.</numerusform>
            <numerusform>%n arquivos foram enviados para o seu iPhone.</numerusform>
        </translation>
    </message>
    <message>
        <location line="+14"/>
        <source>Vantle Is Still Running</source>
        <translation>O Vantle continua em execução</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Your files keep going to your iPhone. To quit Vantle, choose Quit from its icon in the tray.</source>
        <translation>Seus arquivos continuam indo para o seu iPhone. Para sair do Vantle, escolha Sair no ícone dele na bandeja.</translation>
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
        <translation>Conexão manual</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Network address of the iPhone (address or address:port):</source>
        <translation>Endereço de rede do iPhone (endereço ou endereço:porta):</translation>
    </message>
</context>
<context>
    <name>vantle::DnsSdLibrary</name>
    <message>
        <location filename="../src/net/DnsSdLibrary.cpp" line="+152"/>
        <source>Vantle cannot load the DNS-SD library (libdns_sd.so.1).
Please install the package libavahi-compat-libdnssd1, for example with
sudo apt install libavahi-compat-libdnssd1</source>
        <translation>O Vantle não consegue carregar a biblioteca DNS-SD (libdns_sd.so.1).
Instale o pacote libavahi-compat-libdnssd1, por exemplo com
sudo apt install libavahi-compat-libdnssd1</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>The DNS-SD daemon (avahi-daemon) is not running, so Vantle cannot search for iPhones.  Start it with &quot;sudo systemctl start avahi-daemon&quot;, or use &quot;Manual Connect...&quot; with the iPhone&apos;s address.</source>
        <translation>O daemon DNS-SD (avahi-daemon) não está em execução, então o Vantle não pode procurar iPhones.  Inicie-o com “sudo systemctl start avahi-daemon” ou use “Conectar manualmente...” com o endereço do iPhone.</translation>
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
        <translation>Os arquivos soltos aqui são adicionados à fila</translation>
    </message>
</context>
<context>
    <name>vantle::PhonePane</name>
    <message>
        <location filename="../src/app/phone/PhoneDownloads.cpp" line="+127"/>
        <source>Download To</source>
        <translation>Baixar para</translation>
    </message>
    <message>
        <location line="+0"/>
        <location filename="../src/app/phone/PhonePane.cpp" line="+119"/>
        <source>Download</source>
        <translation>Baixar</translation>
    </message>
    <message>
        <location line="+22"/>
        <source>Downloading %1</source>
        <translation>Baixando %1</translation>
    </message>
    <message>
        <location line="+131"/>
        <source>&quot;%1&quot; arrived but could not be saved: %2</source>
        <translation>“%1” chegou, mas não pôde ser salvo: %2</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&quot;%1&quot; could not be downloaded: %2.</source>
        <translation>Não foi possível baixar “%1”: %2.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Unable To Save Download</source>
        <translation>Não foi possível salvar o download</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Download Failed</source>
        <translation>Falha no download</translation>
    </message>
    <message>
        <location filename="../src/app/phone/PhonePane.cpp" line="-86"/>
        <source>Remove &quot;%1&quot; from the iPhone?</source>
        <translation>Remover “%1” do iPhone?</translation>
    </message>
    <message numerus="yes">
        <location line="+3"/>
        <source>Remove %n item(s) from the iPhone?</source>
        <translation>
            <numerusform>Remover %n item do iPhone?</numerusform>
            <numerusform>Remover %n itens do iPhone?</numerusform>
        </translation>
    </message>
    <message>
        <location line="+15"/>
        <source>Open Vantle on iPhone to start the transfer</source>
        <translation>Abra o Vantle no iPhone para iniciar a transferência</translation>
    </message>
    <message>
        <location line="+14"/>
        <source>Enter downloads the selected file and opens it; the menu key shows Download, Download To... and Remove; Delete removes it from the phone.</source>
        <translation>Enter baixa o arquivo selecionado e o abre; a tecla de menu mostra “Baixar”, “Baixar para...” e “Remover”; Delete o remove do iPhone.</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Download progress</source>
        <translation>Progresso do download</translation>
    </message>
    <message>
        <location line="+50"/>
        <source>Download and Open</source>
        <translation>Baixar e abrir</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Download To...</source>
        <translation>Baixar para...</translation>
    </message>
    <message>
        <location line="+2"/>
        <location line="+183"/>
        <source>Remove</source>
        <translation>Remover</translation>
    </message>
    <message>
        <location line="-4"/>
        <source>The file is deleted on the iPhone. This cannot be undone.</source>
        <translation>O arquivo será excluído do iPhone. Isso não pode ser desfeito.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>The items are deleted on the iPhone. This cannot be undone.</source>
        <translation>Os itens serão excluídos do iPhone. Isso não pode ser desfeito.</translation>
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
        <translation>Preferências</translation>
    </message>
    <message>
        <location line="+20"/>
        <source>Connection</source>
        <translation>Conexão</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Downloads</source>
        <translation>Downloads</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Downloads from the iPhone are saved in:</source>
        <translation>Os downloads do iPhone são salvos em:</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Use Default</source>
        <translation>Usar padrão</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Change...</source>
        <translation>Alterar...</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>Desktop</source>
        <translation>Área de trabalho</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Keep running in the tray when the window is closed</source>
        <translation>Continuar na bandeja ao fechar a janela</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Start at login</source>
        <translation>Iniciar ao fazer login</translation>
    </message>
    <message>
        <location line="+32"/>
        <source>This desktop has no system tray.</source>
        <translation>Esta área de trabalho não tem bandeja do sistema.</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Download Folder</source>
        <translation>Pasta de downloads</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Choose</source>
        <translation>Escolher</translation>
    </message>
    <message>
        <location line="+15"/>
        <source>Unable To Use Folder</source>
        <translation>Não foi possível usar a pasta</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Downloads cannot go there: %1. They still go to &quot;%2&quot;.</source>
        <translation>Os downloads não podem ir para lá: %1. Eles continuam indo para “%2”.</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>Unable To Change Start At Login</source>
        <translation>Não foi possível alterar “Iniciar ao fazer login”</translation>
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
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>vantle::StayAwake</name>
    <message numerus="yes">
        <location filename="../src/app/awake/StayAwake.cpp" line="+16"/>
        <source>%n item(s)</source>
        <translation>
            <numerusform>%n item</numerusform>
            <numerusform>%n itens</numerusform>
        </translation>
    </message>
    <message>
        <location line="+19"/>
        <source>your iPhone</source>
        <translation>seu iPhone</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Sending %1 to and receiving %2 from %3</source>
        <translation>Com %3: enviando %1 e recebendo %2</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Sending %1 to %2</source>
        <translation>Enviando %1 para %2</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Receiving %1 from %2</source>
        <translation>Recebendo %1 de %2</translation>
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
        <translation>Recebido</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Failed</source>
        <translation>Falhou</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Failed: %1</source>
        <translation>Falhou: %1</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Cancelled</source>
        <translation>Cancelado</translation>
    </message>
    <message>
        <location line="+46"/>
        <source>Time</source>
        <translation>Hora</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Direction</source>
        <translation>Direção</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Name</source>
        <translation>Nome</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Size</source>
        <translation>Tamanho</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Phone</source>
        <translation>Telefone</translation>
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
        <translation>Histórico de transferências</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Loading...</source>
        <translation>Carregando...</translation>
    </message>
    <message>
        <location line="+23"/>
        <source>Open</source>
        <translation>Abrir</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Show in File Manager</source>
        <translation>Mostrar no gerenciador de arquivos</translation>
    </message>
    <message>
        <location line="+1"/>
        <location line="+12"/>
        <source>Remove from History</source>
        <translation>Remover do histórico</translation>
    </message>
    <message>
        <location line="-11"/>
        <location line="+77"/>
        <source>Clear</source>
        <translation>Limpar</translation>
    </message>
    <message>
        <location line="-2"/>
        <source>Clear Transfer History?</source>
        <translation>Limpar o histórico de transferências?</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Every entry of the history is removed. The files themselves stay where they are.</source>
        <translation>Todas as entradas do histórico serão removidas. Os arquivos continuam onde estão.</translation>
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
        <translation>A conexão foi perdida.</translation>
    </message>
</context>
<context>
    <name>vantle::TrayIcon</name>
    <message>
        <location filename="../src/app/tray/TrayIcon.cpp" line="+38"/>
        <source>Show Vantle</source>
        <translation>Mostrar o Vantle</translation>
    </message>
    <message numerus="yes">
        <location line="+79"/>
        <source>Sending %n item(s)</source>
        <translation>
            <numerusform>Enviando %n item</numerusform>
            <numerusform>Enviando %n itens</numerusform>
        </translation>
    </message>
    <message>
        <location line="+2"/>
        <source>%1, %2 %</source>
        <extracomment>The tray&apos;s tool tip: what is being sent, then how much of it in per cent</extracomment>
        <translation>%1, %2%</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Not connected</source>
        <translation>Não conectado</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Waiting for approval...</source>
        <translation>Aguardando aprovação...</translation>
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
        <translation>Foi movido ou excluído antes de ser enviado.</translation>
    </message>
    <message>
        <location line="+26"/>
        <source>Stop</source>
        <translation>Parar</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Stop Upload</source>
        <translation>Parar envio</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Stops sending the file in front of the queue</source>
        <translation>Para o envio do primeiro arquivo da fila</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Upload details</source>
        <translation>Detalhes do envio</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>Upload progress</source>
        <translation>Progresso do envio</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Sending %1</source>
        <translation>Enviando %1</translation>
    </message>
    <message>
        <location filename="../src/app/upload/UploadSheets.cpp" line="+14"/>
        <source>Do the same for the other items</source>
        <translation>Fazer o mesmo para os outros itens</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>File Exists On Device</source>
        <translation>O arquivo já existe no dispositivo</translation>
    </message>
    <message>
        <location line="+25"/>
        <source>A file or folder named &quot;%1&quot; already exists in your Vantle.</source>
        <translation>Já existe um arquivo ou pasta chamado “%1” no seu Vantle.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Replace</source>
        <translation>Substituir</translation>
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
        <translation>Renomear</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>File Name or Path Too Long</source>
        <translation>Nome ou caminho muito longo</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Vantle is unable to transfer the folder named &quot;%1&quot; because a file name or folder path is too long.</source>
        <translation>O Vantle não consegue transferir a pasta “%1” porque um nome de arquivo ou caminho de pasta é muito longo.</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Vantle is unable to transfer the item named &quot;%1&quot; because the file name or the name of a file contained within it is too long.</source>
        <translation>O Vantle não consegue transferir o item “%1” porque o nome dele ou o nome de um arquivo contido nele é muito longo.</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Vantle is unable to transfer the file named &quot;%1&quot; because the file&apos;s name is too long.</source>
        <translation>O Vantle não consegue transferir o arquivo “%1” porque o nome do arquivo é muito longo.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>A file or folder named &quot;%1&quot; already exists in your Vantle, and no free name was found for a copy beside it.</source>
        <translation>Já existe um arquivo ou pasta chamado “%1” no seu Vantle, e nenhum nome livre foi encontrado para uma cópia ao lado dele.</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Error Uploading File</source>
        <translation>Erro ao enviar arquivo</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>A file could not be opened for reading.  It may be unavailable or in use by another application.</source>
        <translation>Não foi possível abrir um arquivo para leitura.  Ele pode estar indisponível ou em uso por outro aplicativo.</translation>
    </message>
    <message>
        <location line="+4"/>
        <location line="+5"/>
        <source>Error Uploading to Device</source>
        <translation>Erro ao enviar para o dispositivo</translation>
    </message>
    <message>
        <location line="-4"/>
        <source>There was an error uploading your files to the device. The connection was lost or timed out.</source>
        <translation>Ocorreu um erro ao enviar seus arquivos para o dispositivo. A conexão foi perdida ou o tempo esgotou.</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>There was an error uploading your files to the device. (Error: %1)</source>
        <translation>Ocorreu um erro ao enviar seus arquivos para o dispositivo. (Erro: %1)</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Try again</source>
        <translation>Tentar novamente</translation>
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
        <translation>%1, faltam %2</translation>
    </message>
    <message numerus="yes">
        <location line="+5"/>
        <source>%1, %n item(s) left</source>
        <extracomment>The details so far, then the items still to send</extracomment>
        <translation>
            <numerusform>%1, falta %n item</numerusform>
            <numerusform>%1, faltam %n itens</numerusform>
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
