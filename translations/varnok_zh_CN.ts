<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN">
<context>
    <name>ClientLink</name>
    <message>
        <source>left</source>
        <translation>已离开</translation>
    </message>
    <message>
        <source>dropped: %1 bytes wait unread</source>
        <translation>已断开：%1 字节等待读取</translation>
    </message>
    <message>
        <source>no line end within %1 ms</source>
        <translation>%1 毫秒内没有行结束符</translation>
    </message>
    <message>
        <source>a line of over %1 bytes</source>
        <translation>一行超过 %1 字节</translation>
    </message>
    <message>
        <source>the client closed before the line end</source>
        <translation>客户端在行结束前关闭</translation>
    </message>
    <message>
        <source>its answers could not be written</source>
        <translation>无法写入其应答</translation>
    </message>
</context>
<context>
    <name>CommandChannel</name>
    <message>
        <source>the link to the switch was closed</source>
        <translation>与切换器的连接已关闭</translation>
    </message>
    <message>
        <source>the link to the switch was lost (%1)</source>
        <translation>与切换器的连接已断开（%1）</translation>
    </message>
    <message>
        <source>the switch answers again</source>
        <translation>切换器重新应答</translation>
    </message>
    <message>
        <source>no answer to %1 within %2 ms</source>
        <translation>%2 毫秒内 %1 没有应答</translation>
    </message>
    <message numerus="yes">
        <source>%n command(s) not answered: the line is down</source>
        <translation>
            <numerusform>%n 条命令无应答：线路已断开</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>HttpGate</name>
    <message>
        <source>%1 has %2 connections open: more are refused</source>
        <translation>%1 已打开 %2 个连接：更多连接将被拒绝</translation>
    </message>
    <message>
        <source>The request&apos;s address is too long.</source>
        <translation>请求的地址过长。</translation>
    </message>
    <message>
        <source>The request&apos;s header is too large.</source>
        <translation>请求的头部过大。</translation>
    </message>
    <message>
        <source>The panel only shows pages: %1 is not taken.</source>
        <translation>面板只提供页面：不接受 %1。</translation>
    </message>
    <message>
        <source>The panel takes no request body.</source>
        <translation>面板不接受请求正文。</translation>
    </message>
    <message>
        <source>This panel is not served under the name &quot;%1&quot;.</source>
        <translation>本面板不以名称“%1”提供服务。</translation>
    </message>
    <message>
        <source>A page of another site may not use this panel.</source>
        <translation>其他网站的页面不得使用本面板。</translation>
    </message>
</context>
<context>
    <name>LinkStateBox</name>
    <message>
        <source>Connect State</source>
        <translation>连接状态</translation>
    </message>
    <message>
        <source>Connected</source>
        <translation>已连接</translation>
    </message>
    <message>
        <source>Disconnect</source>
        <translation>断开</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>Disconnect</source>
        <translation>断开</translation>
    </message>
    <message>
        <source>Connect</source>
        <translation>连接</translation>
    </message>
    <message>
        <source>Connection to the switch lost: %1</source>
        <translation>与切换器的连接已断开：%1</translation>
    </message>
    <message>
        <source>(%1 replies from the switch were dropped while a message box was open.)</source>
        <translation>（消息框打开期间丢弃了切换器的 %1 条回复。）</translation>
    </message>
</context>
<context>
    <name>MatrixSetup</name>
    <message>
        <source>(no key)</source>
        <translation>（无键）</translation>
    </message>
    <message>
        <source>some lines are not settings and were skipped</source>
        <translation>部分行不是设置，已跳过</translation>
    </message>
    <message>
        <source>[names] %1 ignored: the keys are output1 to output4 and input1 to input4</source>
        <translation>[names] %1 已忽略：键为 output1 至 output4 和 input1 至 input4</translation>
    </message>
    <message>
        <source>[names] %1 ignored: %2 are 1 to 4</source>
        <translation>[names] %1 已忽略：%2为 1 至 4</translation>
    </message>
    <message>
        <source>outputs</source>
        <translation>输出</translation>
    </message>
    <message>
        <source>inputs</source>
        <translation>输入</translation>
    </message>
    <message>
        <source>[names] %1 ignored: it %2</source>
        <translation>[names] %1 已忽略：它%2</translation>
    </message>
    <message>
        <source>[names] %1\... ignored: the keys are output1 to output4 and input1 to input4</source>
        <translation>[names] %1\... 已忽略：键为 output1 至 output4 和 input1 至 input4</translation>
    </message>
    <message>
        <source>[presets] %1 ignored: presets are numbered entries such as 1\name and 1\routing</source>
        <translation>[presets] %1 已忽略：预设是编号条目，例如 1\name 和 1\routing</translation>
    </message>
    <message>
        <source>[presets] %1 ignored: entries are numbered from 1</source>
        <translation>[presets] %1 已忽略：条目从 1 开始编号</translation>
    </message>
    <message>
        <source>[presets] %1\%2 ignored: an entry has a name and a routing</source>
        <translation>[presets] %1\%2 已忽略：条目只有名称和路由</translation>
    </message>
    <message>
        <source>it has no name</source>
        <translation>没有名称</translation>
    </message>
    <message>
        <source>its name </source>
        <translation>其名称</translation>
    </message>
    <message>
        <source>routing &quot;%1&quot; is not four inputs 1 to 4</source>
        <translation>路由“%1”不是四个 1 至 4 的输入</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is entry %2 already</source>
        <translation>“%1”已是条目 %2</translation>
    </message>
    <message>
        <source>[presets] %1 ignored: %2</source>
        <translation>[presets] %1 已忽略：%2</translation>
    </message>
    <message>
        <source>is longer than %1 characters</source>
        <translation>超过 %1 个字符</translation>
    </message>
    <message>
        <source>holds control characters</source>
        <translation>包含控制字符</translation>
    </message>
    <message>
        <source>There is no %1 %2: the switch has %1s 1 to 4.</source>
        <translation>没有%1 %2：切换器的%1为 1 至 4。</translation>
    </message>
    <message>
        <source>&quot;%1&quot; cannot be used: it %2.</source>
        <translation>无法使用“%1”：它%2。</translation>
    </message>
    <message>
        <source>A preset needs a name.</source>
        <translation>预设需要名称。</translation>
    </message>
    <message>
        <source>A preset routes each output to an input 1 to 4.</source>
        <translation>预设将每个输出路由到 1 至 4 的输入。</translation>
    </message>
    <message>
        <source>There is no preset &quot;%1&quot;.</source>
        <translation>没有预设“%1”。</translation>
    </message>
    <message>
        <source>There is a preset &quot;%1&quot; already.</source>
        <translation>已有预设“%1”。</translation>
    </message>
    <message>
        <source>these names and presets are kept by the switch&apos;s service</source>
        <translation>这些名称和预设由切换器的服务保存</translation>
    </message>
</context>
<context>
    <name>MessageArea</name>
    <message>
        <source>Message</source>
        <translation>信息</translation>
    </message>
    <message>
        <source>Receive</source>
        <translation>接收</translation>
    </message>
    <message>
        <source>Set IP</source>
        <translation>设置IP</translation>
    </message>
    <message>
        <source>UTP Set</source>
        <translation>UTP设置</translation>
    </message>
    <message>
        <source>Status</source>
        <translation>状态</translation>
    </message>
    <message>
        <source>Clear</source>
        <translation>清除</translation>
    </message>
    <message>
        <source>Send</source>
        <translation>发送</translation>
    </message>
</context>
<context>
    <name>MqttBridge</name>
    <message>
        <source>Preset</source>
        <translation>预设</translation>
    </message>
    <message>
        <source>Link</source>
        <translation>连接</translation>
    </message>
    <message>
        <source>Route not followed</source>
        <translation>路由未执行</translation>
    </message>
    <message>
        <source>MQTT %1: &quot;%2&quot; ignored: %3</source>
        <translation>MQTT %1：忽略“%2”：%3</translation>
    </message>
    <message>
        <source>no such preset</source>
        <translation>没有此预设</translation>
    </message>
    <message>
        <source>not {&quot;routes&quot;:[{&quot;output&quot;:1,&quot;input&quot;:2},...]} with outputs and inputs 1 to 4</source>
        <translation>不是输出和输入均为 1 到 4 的 {&quot;routes&quot;:[{&quot;output&quot;:1,&quot;input&quot;:2},...]}</translation>
    </message>
    <message>
        <source>not a command topic</source>
        <translation>不是命令主题</translation>
    </message>
    <message>
        <source>MQTT %1: not sent: %2</source>
        <translation>MQTT %1：未发送：%2</translation>
    </message>
    <message>
        <source>MQTT: another service (%1) serves a switch &quot;%2&quot; on this broker already: left to it, this one is not published</source>
        <translation>MQTT：另一个服务（%1）已在此代理上服务切换器“%2”：交由它服务，此处不发布</translation>
    </message>
    <message>
        <source>MQTT: published here, the other service having left</source>
        <translation>MQTT：另一个服务已离开，改由此处发布</translation>
    </message>
    <message>
        <source>MQTT %1: a retained command is ignored and taken off the broker: &quot;%2&quot;</source>
        <translation>MQTT %1：保留的命令被忽略并已从代理上清除：“%2”</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is the state of a routing no preset has, and no preset may be called so</source>
        <translation>“%1”是不属于任何预设的路由状态，预设不能使用此名称</translation>
    </message>
    <message>
        <source>not an option, an input&apos;s name or a number 1 to 4</source>
        <translation>不是选项、输入名称或 1 到 4 的数字</translation>
    </message>
</context>
<context>
    <name>MqttClient</name>
    <message>
        <source>MQTT broker %1 not reached: no answer within %2 s</source>
        <translation>未连上 MQTT 代理 %1：%2 秒内无应答</translation>
    </message>
    <message>
        <source>MQTT TLS set-up failed: %1</source>
        <translation>MQTT TLS 设置失败：%1</translation>
    </message>
    <message>
        <source>MQTT broker %1: %2</source>
        <translation>MQTT 代理 %1：%2</translation>
    </message>
    <message>
        <source>MQTT broker %1 not reached: %2</source>
        <translation>未连上 MQTT 代理 %1：%2</translation>
    </message>
    <message>
        <source>MQTT broker %1 refused the connection: %2</source>
        <translation>MQTT 代理 %1 拒绝了连接：%2</translation>
    </message>
    <message>
        <source>MQTT broker %1 connected</source>
        <translation>已连接 MQTT 代理 %1</translation>
    </message>
    <message>
        <source>MQTT broker %1 lost: %2</source>
        <translation>与 MQTT 代理 %1 的连接已断开：%2</translation>
    </message>
    <message>
        <source>MQTT broker %1 speaks MQTT 3.1.1 only</source>
        <translation>MQTT 代理 %1 只支持 MQTT 3.1.1</translation>
    </message>
</context>
<context>
    <name>MqttConfig</name>
    <message>
        <source>[mqtt] host= is missing: the broker&apos;s name or address</source>
        <translation>[mqtt] 缺少 host=：代理的名称或地址</translation>
    </message>
    <message>
        <source>[mqtt] port=%1 is not 1 to 65535</source>
        <translation>[mqtt] port=%1 不在 1 到 65535 之间</translation>
    </message>
    <message>
        <source>[mqtt] password= and password_file= are both given</source>
        <translation>[mqtt] 同时给出了 password= 和 password_file=</translation>
    </message>
    <message>
        <source>[mqtt] password_file=%1 cannot be read: %2</source>
        <translation>[mqtt] 无法读取 password_file=%1：%2</translation>
    </message>
    <message>
        <source>[mqtt] a password needs user=</source>
        <translation>[mqtt] 密码需要 user=</translation>
    </message>
    <message>
        <source>[mqtt] %1=%2 is not a readable file</source>
        <translation>[mqtt] %1=%2 不是可读的文件</translation>
    </message>
    <message>
        <source>[mqtt] certfile= and keyfile= go together</source>
        <translation>[mqtt] certfile= 与 keyfile= 须同时给出</translation>
    </message>
    <message>
        <source>[mqtt] a client certificate needs cafile=</source>
        <translation>[mqtt] 客户端证书需要 cafile=</translation>
    </message>
    <message>
        <source>[mqtt] %1=%2 is not a topic without wildcards</source>
        <translation>[mqtt] %1=%2 不是不含通配符的主题</translation>
    </message>
    <message>
        <source>[mqtt] password_file=%1 has no password on its first line</source>
        <translation>[mqtt] password_file=%1 的第一行没有密码</translation>
    </message>
    <message>
        <source>[mqtt] unknown key &quot;%1&quot; (host, port, client_id, user, password, password_file, cafile, certfile, keyfile, base and discovery_prefix are known)</source>
        <translation>[mqtt] 未知的键“%1”（可用的键：host、port、client_id、user、password、password_file、cafile、certfile、keyfile、base 和 discovery_prefix）</translation>
    </message>
</context>
<context>
    <name>NetworkSettingsDialog</name>
    <message>
        <source>OK</source>
        <translation>确定</translation>
    </message>
    <message>
        <source>Automatically obtain ip address</source>
        <translation>自动获取IP地址</translation>
    </message>
    <message>
        <source>Use the following ip address</source>
        <translation>使用下面的IP地址</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>IP address:</source>
        <translation>IP地址：</translation>
    </message>
</context>
<context>
    <name>PacedListener</name>
    <message>
        <source>cannot accept connections: %1; trying again every %2 s</source>
        <translation>无法接受连接：%1；每 %2 秒重试一次</translation>
    </message>
</context>
<context>
    <name>PanelPort</name>
    <message>
        <source>%1: no connection within %2 s</source>
        <translation>%1：%2 秒内未建立连接</translation>
    </message>
    <message>
        <source>%1 is already open</source>
        <translation>%1 已经打开</translation>
    </message>
    <message>
        <source>%1 is not a web panel&apos;s page: write http://HOST:PORT/ID/</source>
        <translation>%1 不是网页面板的页面：请写 http://HOST:PORT/ID/</translation>
    </message>
    <message>
        <source>the port is closed</source>
        <translation>串口已关闭</translation>
    </message>
    <message>
        <source>%1 closed the connection</source>
        <translation>%1 关闭了连接</translation>
    </message>
</context>
<context>
    <name>PendingCommand</name>
    <message>
        <source>the switch is not connected</source>
        <translation>切换器未连接</translation>
    </message>
    <message>
        <source>too many commands waiting</source>
        <translation>等待中的命令过多</translation>
    </message>
    <message>
        <source>replaced by a newer route for output %1</source>
        <translation>已被输出 %1 的更新路由取代</translation>
    </message>
    <message>
        <source>%1 could not be sent</source>
        <translation>%1 无法发送</translation>
    </message>
    <message>
        <source>no answer from the switch to &quot;%1&quot;</source>
        <translation>切换器未回应“%1”</translation>
    </message>
    <message>
        <source>%1 was not sent: its asker left</source>
        <translation>%1 未发送：请求方已离开</translation>
    </message>
</context>
<context>
    <name>PinAsker</name>
    <message>
        <source>The switch&apos;s service refused: %1</source>
        <translation>切换器的服务拒绝了：%1</translation>
    </message>
    <message>
        <source>PIN</source>
        <translation>PIN 码</translation>
    </message>
    <message>
        <source>The switch&apos;s service asks for a PIN:</source>
        <translation>切换器的服务需要 PIN 码：</translation>
    </message>
    <message>
        <source>PIN given: press again.</source>
        <translation>已输入 PIN 码：请再按一次。</translation>
    </message>
</context>
<context>
    <name>PortBox</name>
    <message>
        <source>Com Select</source>
        <translation>串口选择</translation>
    </message>
</context>
<context>
    <name>PortChoice</name>
    <message>
        <source>it is a symbolic link, which the console does not write through; replace it with a plain file to keep the choice</source>
        <translation>它是符号链接，控制台不会通过它写入；请将其替换为普通文件以保存选择</translation>
    </message>
    <message>
        <source>it is not a plain file; remove it to keep the choice</source>
        <translation>它不是普通文件；请将其删除以保存选择</translation>
    </message>
    <message>
        <source>the folder is read-only</source>
        <translation>文件夹为只读</translation>
    </message>
    <message>
        <source>the file is read-only</source>
        <translation>文件为只读</translation>
    </message>
    <message>
        <source>the disk is full</source>
        <translation>磁盘已满</translation>
    </message>
    <message>
        <source>Cannot save the port choice in %1: %2. The console keeps COM%3 for this session.</source>
        <translation>无法将串口选择保存到 %1：%2。本次会话中控制台保持 COM%3。</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not a port. Type COM1 to COM10, a device path such as /dev/ttyUSB1 or /dev/serial/by-id/..., tcp://HOST:PORT, or a web panel&apos;s http://HOST:PORT/ID/.</source>
        <translation>“%1”不是串口。请输入 COM1 至 COM10、设备路径（如 /dev/ttyUSB1 或 /dev/serial/by-id/...）、tcp://HOST:PORT 或网页面板的 http://HOST:PORT/ID/。</translation>
    </message>
</context>
<context>
    <name>PresetManagerDialog</name>
    <message>
        <source>Presets</source>
        <translation>预设</translation>
    </message>
    <message>
        <source>&amp;Recall</source>
        <translation>调用(&amp;R)</translation>
    </message>
    <message>
        <source>Re&amp;name...</source>
        <translation>重命名(&amp;N)...</translation>
    </message>
    <message>
        <source>&amp;Delete</source>
        <translation>删除(&amp;D)</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>关闭</translation>
    </message>
    <message>
        <source>No presets yet: save the current routing from the routing panel&apos;s menu.</source>
        <translation>还没有预设：请从路由面板的菜单保存当前路由。</translation>
    </message>
    <message>
        <source>Rename preset</source>
        <translation>重命名预设</translation>
    </message>
    <message>
        <source>New name of &quot;%1&quot;:</source>
        <translation>“%1”的新名称：</translation>
    </message>
    <message>
        <source>Press Delete again to delete &quot;%1&quot;.</source>
        <translation>再按一次“删除”即删除“%1”。</translation>
    </message>
    <message>
        <source>Deleted &quot;%1&quot;.</source>
        <translation>已删除“%1”。</translation>
    </message>
</context>
<context>
    <name>PresetRecall</name>
    <message>
        <source>Preset &quot;%1&quot;</source>
        <translation>预设“%1”</translation>
    </message>
    <message>
        <source>%1 stopped: %2.</source>
        <translation>%1 已停止：%2。</translation>
    </message>
    <message>
        <source>%1: the switch did not answer.</source>
        <translation>%1：切换器没有应答。</translation>
    </message>
    <message>
        <source>output %1 gave no report, should be on input %2</source>
        <translation>输出 %1 没有报告，应为输入 %2</translation>
    </message>
    <message>
        <source>output %1 is on input %2, not %3</source>
        <translation>输出 %1 为输入 %2，而不是 %3</translation>
    </message>
    <message>
        <source>the switch did not answer the closing status request</source>
        <translation>切换器没有应答最后的状态查询</translation>
    </message>
</context>
<context>
    <name>RoutingPanel</name>
    <message>
        <source>Output</source>
        <translation>输出</translation>
    </message>
    <message>
        <source>previous input</source>
        <translation>上一个输入</translation>
    </message>
    <message>
        <source>next input</source>
        <translation>下一个输入</translation>
    </message>
    <message>
        <source>input</source>
        <translation>输入</translation>
    </message>
</context>
<context>
    <name>ScriptRun</name>
    <message>
        <source>a UTP status</source>
        <translation>UTP 状态</translation>
    </message>
    <message>
        <source>a UTP set confirmation</source>
        <translation>UTP 设置确认</translation>
    </message>
    <message>
        <source>interrupted before the switch answered</source>
        <translation>切换器应答前被中断</translation>
    </message>
    <message>
        <source>no answer from the switch on %1 within %2 ms</source>
        <translation>%1 上的切换器在 %2 毫秒内没有应答</translation>
    </message>
    <message>
        <source>the switch on %1 answered %2, not what was asked for, within %3 ms</source>
        <translation>%1 上的切换器在 %3 毫秒内应答了%2，而不是所请求的内容</translation>
    </message>
    <message>
        <source>the switch reports output %1 on input %2, not %3</source>
        <translation>切换器报告输出 %1 为输入 %2，而不是 %3</translation>
    </message>
    <message>
        <source>the switch reported %1 of the four outputs</source>
        <translation>切换器报告了四个输出中的 %1 个</translation>
    </message>
    <message>
        <source>%1 did not tell the switch&apos;s names and presets</source>
        <translation>%1 没有告知切换器的名称和预设</translation>
    </message>
    <message>
        <source>no preset named &quot;%1&quot;</source>
        <translation>没有名为“%1”的预设</translation>
    </message>
</context>
<context>
    <name>SerialPort</name>
    <message>
        <source>%1 is in use by another program.</source>
        <translation>%1 正被另一个程序使用。</translation>
    </message>
    <message>
        <source>%1 is in use by %2.</source>
        <translation>%1 正被 %2 使用。</translation>
    </message>
    <message>
        <source>No permission to open %1. Add your user to the &apos;dialout&apos; group (sudo usermod -aG dialout $USER), then log in again.</source>
        <translation>没有打开 %1 的权限。请将您的用户加入“dialout”组（sudo usermod -aG dialout $USER），然后重新登录。</translation>
    </message>
    <message>
        <source>%1 is already open</source>
        <translation>%1 已经打开</translation>
    </message>
    <message>
        <source>the port is closed</source>
        <translation>串口已关闭</translation>
    </message>
    <message>
        <source>%1 was unplugged or hung up</source>
        <translation>%1 已拔出或已挂断</translation>
    </message>
    <message>
        <source>a program</source>
        <translation>某个程序</translation>
    </message>
    <message>
        <source>%1 (process %2)</source>
        <translation>%1（进程 %2）</translation>
    </message>
</context>
<context>
    <name>ServiceConfig</name>
    <message>
        <source>no such file</source>
        <translation>文件不存在</translation>
    </message>
    <message>
        <source>not an INI file QSettings can read</source>
        <translation>不是 QSettings 能读取的 INI 文件</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is outside any switch&apos;s group</source>
        <translation>“%1”不在任何切换器的组中</translation>
    </message>
    <message>
        <source>[%1]: a switch&apos;s id is 1 to 32 of a-z, 0-9 and -</source>
        <translation>[%1]：切换器的标识为 1 到 32 个 a-z、0-9 和 - 字符</translation>
    </message>
    <message>
        <source>dir= is missing: the switch&apos;s set-up folder</source>
        <translation>缺少 dir=：切换器的设置文件夹</translation>
    </message>
    <message>
        <source>dir=%1 is not a folder</source>
        <translation>dir=%1 不是文件夹</translation>
    </message>
    <message>
        <source>dir=%1 is [%2]&apos;s folder too</source>
        <translation>dir=%1 也是 [%2] 的文件夹</translation>
    </message>
    <message>
        <source>listen= is missing: HOST:PORT of the switch&apos;s TCP front</source>
        <translation>缺少 listen=：切换器 TCP 前端的 主机:端口</translation>
    </message>
    <message>
        <source>listen=%1 is not HOST:PORT with an IP address and a port up to 65535</source>
        <translation>listen=%1 不是由 IP 地址和不大于 65535 的端口组成的 主机:端口</translation>
    </message>
    <message>
        <source>listen=%1 is [%2]&apos;s too</source>
        <translation>listen=%1 也被 [%2] 使用</translation>
    </message>
    <message>
        <source>poll=%1 is not 0 to %2 seconds</source>
        <translation>poll=%1 不在 0 到 %2 秒之间</translation>
    </message>
    <message>
        <source>listen= is missing: HOST:PORT of the web panel</source>
        <translation>缺少 listen=：网页面板的 HOST:PORT</translation>
    </message>
    <message>
        <source>%1: no switch [%2] in this file</source>
        <translation>%1：此文件中没有切换器 [%2]</translation>
    </message>
    <message>
        <source>%1 is not %2 to %3 printable ASCII characters without blanks</source>
        <translation>%1 不是 %2 至 %3 个不含空格的可打印 ASCII 字符</translation>
    </message>
    <message>
        <source>%1=%2 is not true or false</source>
        <translation>%1=%2 不是 true 或 false</translation>
    </message>
    <message>
        <source>certfile=%1 holds no PEM certificate that can be read</source>
        <translation>certfile=%1 中没有可读取的 PEM 证书</translation>
    </message>
    <message>
        <source>keyfile=%1 holds no PEM private key (RSA or EC, no passphrase) that can be read</source>
        <translation>keyfile=%1 中没有可读取的 PEM 私钥（RSA 或 EC，无口令）</translation>
    </message>
    <message>
        <source>certfile= and keyfile= are given together</source>
        <translation>certfile= 和 keyfile= 须同时给出</translation>
    </message>
    <message>
        <source>unknown key &quot;%1&quot; (listen, origins, certfile, keyfile, ID.read-only and ID.pin are known)</source>
        <translation>未知的键“%1”（已知的键为 listen、origins、certfile、keyfile、ID.read-only 和 ID.pin）</translation>
    </message>
    <message>
        <source>unknown key &quot;%1&quot; (dir, port, listen, poll, name and area are known)</source>
        <translation>未知的键“%1”（已知的键：dir、port、listen、poll、name 和 area）</translation>
    </message>
    <message>
        <source>%1= is not a text of at most %2 characters on one line</source>
        <translation>%1= 不是最多 %2 个字符的单行文本</translation>
    </message>
    <message>
        <source>dir=%1 does not exist</source>
        <translation>dir=%1 不存在</translation>
    </message>
    <message>
        <source>dir=%1 is a folder this user may not enter or read</source>
        <translation>dir=%1 是此用户无法进入或读取的文件夹</translation>
    </message>
    <message>
        <source>[%1] is given again: write each group once, as line %2 does</source>
        <translation>[%1] 重复出现：每个组只写一次，如第 %2 行</translation>
    </message>
    <message>
        <source>[web] listen=%1 is [%2]&apos;s too</source>
        <translation>[web] listen=%1 也是 [%2] 的地址</translation>
    </message>
</context>
<context>
    <name>SessionLog</name>
    <message>
        <source>The session log %1 is a symbolic link, which the console does not write through: nothing is logged. Replace it with a plain file.</source>
        <translation>会话日志 %1 是符号链接，控制台不会通过它写入：不记录任何内容。请将其替换为普通文件。</translation>
    </message>
    <message>
        <source>The session log %1 is not a plain file: nothing is logged. Replace it with a plain file.</source>
        <translation>会话日志 %1 不是普通文件：不记录任何内容。请将其替换为普通文件。</translation>
    </message>
</context>
<context>
    <name>SetupMenu</name>
    <message>
        <source>&amp;Recall</source>
        <translation>调用(&amp;R)</translation>
    </message>
    <message>
        <source>&amp;Save current routing as...</source>
        <translation>将当前路由保存为(&amp;S)...</translation>
    </message>
    <message>
        <source>Name this &amp;output...</source>
        <translation>命名此输出(&amp;O)...</translation>
    </message>
    <message>
        <source>Name this &amp;input...</source>
        <translation>命名此输入(&amp;I)...</translation>
    </message>
    <message>
        <source>&amp;Manage presets...</source>
        <translation>管理预设(&amp;M)...</translation>
    </message>
    <message>
        <source>output</source>
        <translation>输出</translation>
    </message>
    <message>
        <source>input</source>
        <translation>输入</translation>
    </message>
    <message>
        <source>Name %1 %2</source>
        <translation>命名%1 %2</translation>
    </message>
    <message>
        <source>Name of %1 %2 (empty for none):</source>
        <translation>%1 %2 的名称（留空表示无名称）：</translation>
    </message>
    <message>
        <source>Save routing</source>
        <translation>保存路由</translation>
    </message>
    <message>
        <source>Preset name for %1:</source>
        <translation>%1 的预设名称：</translation>
    </message>
    <message>
        <source>Replaces the preset of this name.</source>
        <translation>将替换同名预设。</translation>
    </message>
    <message>
        <source>Preset &quot;%1&quot; is no longer there.</source>
        <translation>预设“%1”已不存在。</translation>
    </message>
    <message>
        <source>Preset &quot;%1&quot; not recalled: the port is closed.</source>
        <translation>未调用预设“%1”：串口已关闭。</translation>
    </message>
    <message>
        <source>Preset &quot;%1&quot; not recalled: another recall is running.</source>
        <translation>未调用预设“%1”：另一个调用正在进行。</translation>
    </message>
</context>
<context>
    <name>SharedLine</name>
    <message>
        <source>%1 is open</source>
        <translation>%1 已打开</translation>
    </message>
    <message>
        <source>output %1 stayed on input %2, not %3 as asked</source>
        <translation>输出 %1 仍在输入 %2，而不是所请求的 %3</translation>
    </message>
</context>
<context>
    <name>SharedSwitch</name>
    <message>
        <source>the switch&apos;s service is not connected</source>
        <translation>切换器的服务未连接</translation>
    </message>
    <message>
        <source>the switch&apos;s service did not answer within %1 s</source>
        <translation>切换器的服务在 %1 秒内没有应答</translation>
    </message>
</context>
<context>
    <name>SwitchFront</name>
    <message>
        <source>listening on %1</source>
        <translation>正在监听 %1</translation>
    </message>
    <message>
        <source>cannot listen on %1: %2; trying again every %3 s</source>
        <translation>无法监听 %1：%2；每 %3 秒重试</translation>
    </message>
    <message numerus="yes">
        <source>%1 connected (%n client(s))</source>
        <translation>
            <numerusform>%1 已连接（%n 个客户端）</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1 %2 (%n client(s))</source>
        <translation>
            <numerusform>%1 %2（%n 个客户端）</numerusform>
        </translation>
    </message>
    <message>
        <source>%1 has %2 commands waiting: %3 and what follows are not sent until they go</source>
        <translation>%1 已有 %2 条命令在等待：%3 及其后的命令在它们发出前不会发送</translation>
    </message>
    <message>
        <source>%1: an unfinished line is not sent (%2)</source>
        <translation>%1：未完成的行不会发送（%2）</translation>
    </message>
    <message>
        <source>%1 sent %2 while the line is down: it and what follows until the line is back are not answered</source>
        <translation>%1 在线路断开时发送了 %2：在线路恢复前，它及其后的命令均无应答</translation>
    </message>
</context>
<context>
    <name>SwitchSession</name>
    <message>
        <source>No answer from the switch on %1.</source>
        <translation>%1 上的切换器没有应答。</translation>
    </message>
    <message>
        <source>%1 is connected again</source>
        <translation>%1 已重新连接</translation>
    </message>
    <message>
        <source>No port chosen</source>
        <translation>未选择串口</translation>
    </message>
</context>
<context>
    <name>TcpPort</name>
    <message>
        <source>%1: no connection within %2</source>
        <translation>%1：%2 内未建立连接</translation>
    </message>
    <message>
        <source>%1 is already open</source>
        <translation>%1 已经打开</translation>
    </message>
    <message>
        <source>%1 is not a network port: write tcp://HOST:PORT</source>
        <translation>%1 不是网络端口：请写 tcp://HOST:PORT</translation>
    </message>
    <message>
        <source>%1: the connection was refused (nothing listens there)</source>
        <translation>%1：连接被拒绝（该处无监听）</translation>
    </message>
    <message>
        <source>%1: unknown host</source>
        <translation>%1：未知主机</translation>
    </message>
    <message>
        <source>%1 closed the connection</source>
        <translation>%1 关闭了连接</translation>
    </message>
    <message>
        <source>the port is closed</source>
        <translation>串口已关闭</translation>
    </message>
    <message>
        <source>%1 s</source>
        <translation>%1 秒</translation>
    </message>
    <message>
        <source>%1 ms</source>
        <translation>%1 毫秒</translation>
    </message>
</context>
<context>
    <name>UtpModeDialog</name>
    <message>
        <source>UTP Set</source>
        <translation>UTP设置</translation>
    </message>
    <message>
        <source>UTP Output Set</source>
        <translation>UTP输出设置</translation>
    </message>
    <message>
        <source>Output %1</source>
        <translation>输出 %1</translation>
    </message>
    <message>
        <source>1 wire</source>
        <translation>单线</translation>
    </message>
    <message>
        <source>2 wires</source>
        <translation>双线</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>确定</translation>
    </message>
    <message>
        <source>Quit</source>
        <translation>退出</translation>
    </message>
    <message>
        <source>Choose &quot;1 wire&quot; or &quot;2 wires&quot; for %1 first: the switch has not reported its modes.</source>
        <translation>请先为%1选择“单线”或“双线”：切换器尚未报告其模式。</translation>
    </message>
</context>
<context>
    <name>WebPage</name>
    <message>
        <source>Connecting…</source>
        <translation>正在连接…</translation>
    </message>
    <message>
        <source>Routing</source>
        <translation>路由</translation>
    </message>
    <message>
        <source>Commands</source>
        <translation>命令</translation>
    </message>
    <message>
        <source>Status</source>
        <translation>状态</translation>
    </message>
    <message>
        <source>Presets</source>
        <translation>预设</translation>
    </message>
    <message>
        <source>Recall</source>
        <translation>调用</translation>
    </message>
    <message>
        <source>Switch connected</source>
        <translation>切换器已连接</translation>
    </message>
    <message>
        <source>Switch not answering</source>
        <translation>切换器无应答</translation>
    </message>
    <message>
        <source>Switch disconnected</source>
        <translation>切换器未连接</translation>
    </message>
    <message>
        <source>Service unreachable: reconnecting…</source>
        <translation>无法访问服务：正在重新连接…</translation>
    </message>
    <message>
        <source>Not connected to the service.</source>
        <translation>未连接到服务。</translation>
    </message>
    <message>
        <source>Output %1</source>
        <translation>输出 %1</translation>
    </message>
    <message>
        <source>Input %1</source>
        <translation>输入 %1</translation>
    </message>
    <message>
        <source>%1: previous input</source>
        <translation>%1：上一个输入</translation>
    </message>
    <message>
        <source>%1: next input</source>
        <translation>%1：下一个输入</translation>
    </message>
    <message>
        <source>Output %1 stayed on input %2, not input %3.</source>
        <translation>输出 %1 仍在输入 %2，而不是输入 %3。</translation>
    </message>
    <message>
        <source>No presets yet: route the outputs, then save the routing under Names and presets.</source>
        <translation>还没有预设：先设置输出的路由，再在“名称和预设”中保存该路由。</translation>
    </message>
    <message>
        <source>Names and presets</source>
        <translation>名称和预设</translation>
    </message>
    <message>
        <source>Save names</source>
        <translation>保存名称</translation>
    </message>
    <message>
        <source>Preset name</source>
        <translation>预设名称</translation>
    </message>
    <message>
        <source>Save routing as preset</source>
        <translation>将路由保存为预设</translation>
    </message>
    <message>
        <source>Rename chosen preset</source>
        <translation>重命名所选预设</translation>
    </message>
    <message>
        <source>Delete chosen preset</source>
        <translation>删除所选预设</translation>
    </message>
    <message>
        <source>Saved.</source>
        <translation>已保存。</translation>
    </message>
</context>
<context>
    <name>WebPanel</name>
    <message>
        <source>&quot;output&quot; must be 1 to 4</source>
        <translation>“output”必须为 1 至 4</translation>
    </message>
    <message>
        <source>&quot;arrow&quot; must be &quot;prev&quot; or &quot;next&quot;</source>
        <translation>“arrow”必须为“prev”或“next”</translation>
    </message>
    <message>
        <source>&quot;input&quot; must be 1 to 4</source>
        <translation>“input”必须为 1 至 4</translation>
    </message>
    <message>
        <source>Preset &quot;%1&quot; is no longer there.</source>
        <translation>预设“%1”已不存在。</translation>
    </message>
    <message>
        <source>not a JSON object</source>
        <translation>不是 JSON 对象</translation>
    </message>
    <message>
        <source>unknown request &quot;%1&quot;</source>
        <translation>未知的请求“%1”</translation>
    </message>
    <message>
        <source>this page is read-only</source>
        <translation>此页面为只读</translation>
    </message>
    <message>
        <source>wrong or missing PIN</source>
        <translation>PIN 错误或缺失</translation>
    </message>
    <message>
        <source>the switch is restarting</source>
        <translation>切换器正在重新启动</translation>
    </message>
    <message>
        <source>no such switch</source>
        <translation>没有此切换器</translation>
    </message>
    <message>
        <source>too many pages</source>
        <translation>页面过多</translation>
    </message>
    <message>
        <source>too many wrong PINs: try again later</source>
        <translation>错误的 PIN 次数过多：请稍后再试</translation>
    </message>
    <message>
        <source>%1 gave %2 wrong PINs: its requests are refused for %3 s</source>
        <translation>%1 输入了 %2 次错误的 PIN：其请求将在 %3 秒内被拒绝</translation>
    </message>
    <message>
        <source>cannot listen on %1 (%2); trying again every %3 s</source>
        <translation>无法监听 %1（%2）；每 %3 秒重试</translation>
    </message>
    <message>
        <source>No such page.
</source>
        <translation>没有此页面。
</translation>
    </message>
    <message>
        <source>listening on %1://%2/</source>
        <translation>正在监听 %1://%2/</translation>
    </message>
    <message>
        <source>%1 wrong PINs within a minute from all addresses: every request with a PIN is refused for %2 s</source>
        <translation>一分钟内所有地址共输错 %1 次 PIN：所有带 PIN 的请求将被拒绝 %2 秒</translation>
    </message>
    <message>
        <source>%1: request from %2 refused: %3 (told once until one is taken)</source>
        <translation>%1：来自 %2 的请求被拒绝：%3（在有请求被接受前只记录一次）</translation>
    </message>
    <message>
        <source>This address is for the page&apos;s live connection only.
</source>
        <translation>此地址仅用于页面的实时连接。
</translation>
    </message>
    <message>
        <source>&quot;output&quot; or &quot;input&quot; must be 1 to 4</source>
        <translation>“output”或“input”必须是 1 到 4</translation>
    </message>
    <message>
        <source>&quot;name&quot; must be a text</source>
        <translation>“name”必须是文本</translation>
    </message>
    <message>
        <source>a preset&apos;s name is missing</source>
        <translation>缺少预设名称</translation>
    </message>
    <message>
        <source>the new name is missing</source>
        <translation>缺少新名称</translation>
    </message>
    <message>
        <source>&quot;custom&quot; stands for a routing no preset has</source>
        <translation>“custom”表示不属于任何预设的路由</translation>
    </message>
    <message>
        <source>The switch has not reported all four outputs yet: press Status.</source>
        <translation>切换器尚未报告全部四个输出：请按“Status”。</translation>
    </message>
    <message>
        <source>&quot;text&quot; must be one line of at most %1 bytes ending in a line feed</source>
        <translation>“text”必须是以换行符结尾、最多 %1 字节的一行</translation>
    </message>
</context>
<context>
    <name>addresstext</name>
    <message>
        <source>Overflow</source>
        <translation>溢出</translation>
    </message>
    <message>
        <source>Type mismatch</source>
        <translation>类型不匹配</translation>
    </message>
</context>
<context>
    <name>boxtext</name>
    <message>
        <source>VARNOK</source>
        <translation>VARNOK</translation>
    </message>
    <message>
        <source>open serial port fail！ </source>
        <translation>打开串口失败！ </translation>
    </message>
    <message>
        <source>ERROR</source>
        <translation>错误</translation>
    </message>
    <message>
        <source>Device is not connect!</source>
        <translation>设备未连接！</translation>
    </message>
    <message>
        <source>Com port is not open! </source>
        <translation>串口未打开！ </translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>警告</translation>
    </message>
    <message>
        <source>UTP set success!</source>
        <translation>UTP设置成功！</translation>
    </message>
</context>
<context>
    <name>cli</name>
    <message>
        <source>preset list takes no NAME</source>
        <translation>preset list 不接受 NAME</translation>
    </message>
    <message>
        <source>preset %1 needs one NAME (quote it when it has blanks)</source>
        <translation>preset %1 需要一个 NAME（含空格时请加引号）</translation>
    </message>
    <message>
        <source>preset needs list, save NAME, recall NAME or delete NAME</source>
        <translation>preset 需要 list、save NAME、recall NAME 或 delete NAME</translation>
    </message>
    <message>
        <source>route needs OUT and IN (or next or prev)</source>
        <translation>route 需要 OUT 和 IN（或 next 或 prev）</translation>
    </message>
    <message>
        <source>route: output &quot;%1&quot; is not 1 to 4</source>
        <translation>route：输出“%1”不是 1 至 4</translation>
    </message>
    <message>
        <source>route: input &quot;%1&quot; is not 1 to 4, next or prev</source>
        <translation>route：输入“%1”不是 1 至 4、next 或 prev</translation>
    </message>
    <message>
        <source>%1 takes no argument</source>
        <translation>%1 不接受参数</translation>
    </message>
    <message>
        <source>utp takes at most one MASK</source>
        <translation>utp 最多接受一个 MASK</translation>
    </message>
    <message>
        <source>utp: mask &quot;%1&quot; is not one hex digit 0-F</source>
        <translation>utp：掩码“%1”不是一位十六进制数 0-F</translation>
    </message>
    <message>
        <source>ip needs dhcp or an address A.B.C.D</source>
        <translation>ip 需要 dhcp 或地址 A.B.C.D</translation>
    </message>
    <message>
        <source>ip: &quot;%1&quot; is not dhcp or an address A.B.C.D (0-255 each)</source>
        <translation>ip：“%1”不是 dhcp 或地址 A.B.C.D（每段 0-255）</translation>
    </message>
    <message>
        <source>send needs one TEXT (quote it when it has blanks)</source>
        <translation>send 需要一个 TEXT（含空格时请加引号）</translation>
    </message>
    <message>
        <source>send: TEXT is empty</source>
        <translation>send：TEXT 为空</translation>
    </message>
    <message>
        <source>send: &quot;%1&quot; (U+%2) is not a Latin-1 character, and the line carries only those</source>
        <translation>send：“%1”（U+%2）不是 Latin-1 字符，而线路只传送这类字符</translation>
    </message>
    <message>
        <source>send: TEXT holds a line end; send one command per call</source>
        <translation>send：TEXT 含有行结束符；每次调用只发送一条命令</translation>
    </message>
    <message>
        <source>name needs output N TEXT or input N TEXT (&quot;&quot; removes a name)</source>
        <translation>name 需要 output N TEXT 或 input N TEXT（&quot;&quot; 删除名称）</translation>
    </message>
    <message>
        <source>name: %1 &quot;%2&quot; is not 1 to 4</source>
        <translation>name：%1“%2”不是 1 至 4</translation>
    </message>
    <message>
        <source>unknown command &quot;%1&quot; (see varnok --help)</source>
        <translation>未知命令“%1”（参见 varnok --help）</translation>
    </message>
    <message>
        <source>unknown option &quot;%1&quot; (see varnok --help)</source>
        <translation>未知选项“%1”（参见 varnok --help）</translation>
    </message>
    <message>
        <source>%1 needs a value</source>
        <translation>%1 需要一个值</translation>
    </message>
    <message>
        <source>%1 needs a folder</source>
        <translation>%1 需要一个文件夹</translation>
    </message>
    <message>
        <source>--port needs a port</source>
        <translation>--port 需要一个串口</translation>
    </message>
    <message>
        <source>--poll &quot;%1&quot; is not a number of seconds from 0 to %2</source>
        <translation>--poll “%1”不是 0 至 %2 之间的秒数</translation>
    </message>
    <message>
        <source>--timeout &quot;%1&quot; is not a number of milliseconds from 1 to %2</source>
        <translation>--timeout “%1”不是 1 至 %2 之间的毫秒数</translation>
    </message>
    <message>
        <source>no command given (see varnok --help)</source>
        <translation>未给出命令（参见 varnok --help）</translation>
    </message>
    <message>
        <source>--poll is for monitor only</source>
        <translation>--poll 仅用于 monitor</translation>
    </message>
    <message>
        <source>cannot write the result: %1</source>
        <translation>无法写入结果：%1</translation>
    </message>
    <message>
        <source>preset save: &quot;%1&quot; is longer than %2 characters</source>
        <translation>preset save：“%1”超过 %2 个字符</translation>
    </message>
    <message>
        <source>no preset named &quot;%1&quot; in %2</source>
        <translation>%2 中没有名为“%1”的预设</translation>
    </message>
    <message>
        <source>cannot open %1: %2</source>
        <translation>无法打开 %1：%2</translation>
    </message>
    <message>
        <source>--pin-file %1 cannot be read: %2</source>
        <translation>无法读取 --pin-file %1：%2</translation>
    </message>
    <message>
        <source>Usage:
varnok [-C DIR]                         the console window, as today
varnok --help | --version               usage, or &quot;varnok %1&quot;; exit 0; no window, no file written
varnok [OPTIONS] route OUT IN           input IN (1-4) to output OUT (1-4)
varnok [OPTIONS] route OUT next|prev    the arrow keys of output OUT
varnok [OPTIONS] status                 the routing of all four outputs
varnok [OPTIONS] utp [MASK]             read the UTP output modes, or set them (one hex digit 0-F)
varnok [OPTIONS] ip dhcp | ip A.B.C.D   the switch&apos;s network setting
varnok [OPTIONS] send TEXT              TEXT + CR LF on the line; print the reply as it came
                                        (one command: Latin-1 characters, no line end)
varnok [OPTIONS] monitor [--poll SECONDS]
                                        print every route the switch reports until interrupted;
                                        with --poll, ask for the routing (bc) every SECONDS
                                        the line is idle, so front-panel changes show too
varnok [OPTIONS] preset list|save NAME|recall NAME|delete NAME
                                        presets: whole routings kept in varnok.conf
varnok [-C DIR] name output|input N TEXT  a name (up to 32 characters, &quot;&quot; removes it)
OPTIONS: -C DIR, --dir DIR  the set-up folder (COMPORT, varnok.conf, COM1-COM10 links), as the
                      window&apos;s; default: the working directory
         --port P     COM1-COM10 (mapped as the window maps them), a device path, tcp://HOST:PORT,
                      or varnokd&apos;s web panel page of the switch, http://HOST:PORT/ID/;
                      default: the choice the window saved (COMPORT / varnok.conf in the set-up folder)
         --pin-file FILE  the web panel&apos;s PIN for that switch, the first line of FILE
         --timeout MS how long to wait for a network connection, then for the switch (default 1000)
         --json       machine-readable output, one JSON document per line
Exit status: 0 done and confirmed; 1 bad usage (nothing sent); 2 the port could not be opened
or the link was lost; 3 no answer, or a different answer than asked for, within the timeout;
4 the result (or the preset a save asked for) could not be written; a reader that went away
ends it as SIGPIPE does.
</source>
        <translation>用法：
varnok [-C DIR]                         控制台窗口
varnok --help | --version               用法，或 &quot;varnok %1&quot;；退出状态 0；不开窗口，不写文件
varnok [OPTIONS] route OUT IN           将输入 IN (1-4) 切到输出 OUT (1-4)
varnok [OPTIONS] route OUT next|prev    输出 OUT 的箭头键
varnok [OPTIONS] status                 全部四个输出的路由
varnok [OPTIONS] utp [MASK]             读取 UTP 输出模式，或设置它们（一位十六进制数 0-F）
varnok [OPTIONS] ip dhcp | ip A.B.C.D   切换器的网络设置
varnok [OPTIONS] send TEXT              在线路上发送 TEXT + CR LF；按原样打印回复
                                        （一条命令：Latin-1 字符，不含行结束符）
varnok [OPTIONS] monitor [--poll SECONDS]
                                        打印切换器报告的每条路由，直到被中断；
                                        带 --poll 时，线路每空闲 SECONDS 秒查询一次路由 (bc)，
                                        这样前面板的更改也会显示
varnok [OPTIONS] preset list|save NAME|recall NAME|delete NAME
                                        预设：保存在 varnok.conf 中的完整路由
varnok [-C DIR] name output|input N TEXT  名称（最多 32 个字符，&quot;&quot; 删除名称）
OPTIONS: -C DIR, --dir DIR  设置文件夹（COMPORT、varnok.conf、COM1-COM10 链接），与窗口的相同；
                      默认：工作目录
         --port P     COM1-COM10（与窗口的映射相同）、设备路径、tcp://HOST:PORT，
                      或 varnokd 网页面板上该切换器的页面 http://HOST:PORT/ID/；
                      默认：窗口保存的选择（设置文件夹中的 COMPORT / varnok.conf）
         --pin-file FILE  该切换器网页面板的 PIN，即 FILE 的第一行
         --timeout MS 等待网络连接、再等待切换器的时长（默认 1000）
         --json       机器可读的输出，每行一个 JSON 文档
退出状态：0 完成并已确认；1 用法错误（未发送任何内容）；2 无法打开串口或连接已断开；
3 超时内没有应答，或应答与请求不符；4 无法写入结果（或保存所要求的预设）；
读取方离开时，如 SIGPIPE 一样结束。
</translation>
    </message>
</context>
<context>
    <name>replies</name>
    <message>
        <source>HDMI Out%1 -&gt; HDMI In %2</source>
        <translation>HDMI 输出%1 -&gt; HDMI 输入 %2</translation>
    </message>
</context>
<context>
    <name>setupfile</name>
    <message>
        <source>it is a symbolic link, which the console neither reads nor writes through; replace it with a plain file</source>
        <translation>它是符号链接，控制台既不通过它读取也不通过它写入；请将其替换为普通文件</translation>
    </message>
    <message>
        <source>it is not a plain file (a pipe, a device or a folder), so it is not read; replace it with a plain file</source>
        <translation>它不是普通文件（管道、设备或文件夹），因此不读取；请将其替换为普通文件</translation>
    </message>
    <message>
        <source>it is larger than %1 MiB, so it is not read</source>
        <translation>它大于 %1 MiB，因此不读取</translation>
    </message>
    <message>
        <source>it cannot be written</source>
        <translation>无法写入</translation>
    </message>
    <message>
        <source>Cannot change %1: %2 (process %3) was changing it for more than %4 seconds; try again.</source>
        <translation>无法更改 %1：%2（进程 %3）已更改它超过 %4 秒；请重试。</translation>
    </message>
    <message>
        <source>another program</source>
        <translation>另一个程序</translation>
    </message>
    <message>
        <source>Cannot change %1: its lock file %2.lock cannot be made.</source>
        <translation>无法更改 %1：无法创建其锁文件 %2.lock。</translation>
    </message>
    <message>
        <source>Cannot change %1: %2.</source>
        <translation>无法更改 %1：%2。</translation>
    </message>
</context>
<context>
    <name>varnokd</name>
    <message numerus="yes">
        <source>%1: %n switch(es), no fault</source>
        <translation>
            <numerusform>%1：%n 台切换器，无错误</numerusform>
        </translation>
    </message>
    <message>
        <source>read the switches from FILE</source>
        <translation>从 FILE 读取切换器</translation>
    </message>
    <message>
        <source>check the configuration, name every fault, and exit</source>
        <translation>检查配置，列出每个错误后退出</translation>
    </message>
    <message>
        <source>show this help</source>
        <translation>显示此帮助</translation>
    </message>
    <message>
        <source>show the version</source>
        <translation>显示版本</translation>
    </message>
    <message>
        <source>Shares each VARNOK matrix switch&apos;s line with every controller.</source>
        <translation>将每台 VARNOK 矩阵切换器的线路共享给所有控制器。</translation>
    </message>
    <message>
        <source>unexpected argument &quot;%1&quot;</source>
        <translation>意外的参数“%1”</translation>
    </message>
</context>
</TS>
