<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN">
<context>
    <name>MainWindow</name>
    <message>
        <source>Disconnect</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Connect</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Connection to the switch lost: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>(%1 replies from the switch were dropped while a message box was open.)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Message</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Receive</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Set IP</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>UTP Set</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Status</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Clear</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Send</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Connect State</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Connected</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Com Select</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Recall</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Save current routing as...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Name this &amp;output...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Name this &amp;input...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Manage presets...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Output</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>previous input</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>next input</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>input</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>output</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Name %1 %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Name of %1 %2 (empty for none):</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Save routing</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Preset name for %1:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Replaces the preset of this name.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Preset &quot;%1&quot; is no longer there.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Preset &quot;%1&quot; not recalled: the port is closed.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Preset &quot;%1&quot; not recalled: another recall is running.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>MatrixSetup</name>
    <message>
        <source>(no key)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>some lines are not settings and were skipped</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>[names] %1 ignored: the keys are output1 to output4 and input1 to input4</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>[names] %1 ignored: %2 are 1 to 4</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>outputs</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>inputs</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>[names] %1 ignored: it %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>[names] %1\... ignored: the keys are output1 to output4 and input1 to input4</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>[presets] %1 ignored: presets are numbered entries such as 1\name and 1\routing</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>[presets] %1 ignored: entries are numbered from 1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>[presets] %1\%2 ignored: an entry has a name and a routing</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>it has no name</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>its name </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>routing &quot;%1&quot; is not four inputs 1 to 4</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&quot;%1&quot; is entry %2 already</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>[presets] %1 ignored: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>is longer than %1 characters</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>holds control characters</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>There is no %1 %2: the switch has %1s 1 to 4.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&quot;%1&quot; cannot be used: it %2.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>A preset needs a name.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>A preset routes each output to an input 1 to 4.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>There is no preset &quot;%1&quot;.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>There is a preset &quot;%1&quot; already.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>NetworkSettingsDialog</name>
    <message>
        <source>OK</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Automatically obtain ip address</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Use the following ip address</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>IP address:</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>PresetManagerDialog</name>
    <message>
        <source>Presets</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Recall</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Re&amp;name...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Delete</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Close</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No presets yet: save the current routing from the routing panel&apos;s menu.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Rename preset</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>New name of &quot;%1&quot;:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Press Delete again to delete &quot;%1&quot;.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Deleted &quot;%1&quot;.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>PresetRecall</name>
    <message>
        <source>the link to the switch was lost (%1)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the link to the switch was closed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Preset &quot;%1&quot;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 stopped: %2.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1: the switch did not answer.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>output %1 gave no report, should be on input %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>output %1 is on input %2, not %3</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the switch did not answer the closing status request</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ScriptRun</name>
    <message>
        <source>a UTP status</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>a UTP set confirmation</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>interrupted before the switch answered</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>no answer from the switch on %1 within %2 ms</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the switch on %1 answered %2, not what was asked for, within %3 ms</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the switch reports output %1 on input %2, not %3</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the switch reported %1 of the four outputs</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>SerialPort</name>
    <message>
        <source>%1 is in use by another program.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 is in use by %2.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No permission to open %1. Add your user to the &apos;dialout&apos; group (sudo usermod -aG dialout $USER), then log in again.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 is already open</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the port is closed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 was unplugged or hung up</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>a program</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>SessionLog</name>
    <message>
        <source>The session log %1 is a symbolic link, which the console does not write through: nothing is logged. Replace it with a plain file.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The session log %1 is not a plain file: nothing is logged. Replace it with a plain file.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>SwitchSession</name>
    <message>
        <source>No answer from the switch on COM%1 (%2).</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No answer from the switch on %1.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 is connected again</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not a port. Type COM1 to COM10, a device path such as /dev/ttyUSB1 or /dev/serial/by-id/..., or tcp://HOST:PORT.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cannot save the port choice in %1: %2. The console keeps COM%3 for this session.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No port chosen</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>it is a symbolic link, which the console does not write through; replace it with a plain file to keep the choice</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>it is not a plain file; remove it to keep the choice</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the folder is read-only</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the file is read-only</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the disk is full</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>TcpPort</name>
    <message>
        <source>%1: no connection within %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 is already open</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 is not a network port: write tcp://HOST:PORT</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1: the connection was refused (nothing listens there)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1: unknown host</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 closed the connection</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the port is closed</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>UtpModeDialog</name>
    <message>
        <source>UTP Set</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>UTP Output Set</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Output %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>1 wire</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>2 wires</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>OK</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Quit</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Choose &quot;1 wire&quot; or &quot;2 wires&quot; for %1 first: the switch has not reported its modes.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>addresstext</name>
    <message>
        <source>Overflow</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Type mismatch</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>boxtext</name>
    <message>
        <source>VARNOK</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>open serial port fail！ </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ERROR</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Device is not connect!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Com port is not open! </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Warning</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>UTP set success!</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>cli</name>
    <message>
        <source>preset list takes no NAME</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>preset %1 needs one NAME (quote it when it has blanks)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>preset needs list, save NAME, recall NAME or delete NAME</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>route needs OUT and IN (or next or prev)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>route: output &quot;%1&quot; is not 1 to 4</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>route: input &quot;%1&quot; is not 1 to 4, next or prev</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 takes no argument</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>utp takes at most one MASK</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>utp: mask &quot;%1&quot; is not one hex digit 0-F</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ip needs dhcp or an address A.B.C.D</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ip: &quot;%1&quot; is not dhcp or an address A.B.C.D (0-255 each)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>send needs one TEXT (quote it when it has blanks)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>send: TEXT is empty</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>send: &quot;%1&quot; (U+%2) is not a Latin-1 character, and the line carries only those</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>send: TEXT holds a line end; send one command per call</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>name needs output N TEXT or input N TEXT (&quot;&quot; removes a name)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>name: %1 &quot;%2&quot; is not 1 to 4</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>unknown command &quot;%1&quot; (see varnok --help)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>unknown option &quot;%1&quot; (see varnok --help)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 needs a value</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 needs a folder</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>--port needs a port</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>--poll &quot;%1&quot; is not a number of seconds from 0 to %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>--timeout &quot;%1&quot; is not a number of milliseconds from 1 to %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>no command given (see varnok --help)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>--poll is for monitor only</source>
        <translation type="unfinished"></translation>
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
         --port P     COM1-COM10 (mapped as the window maps them), a device path, or tcp://HOST:PORT;
                      default: the choice the window saved (COMPORT / varnok.conf in the set-up folder)
         --timeout MS how long to wait for a network connection, then for the switch (default 1000)
         --json       machine-readable output, one JSON document per line
Exit status: 0 done and confirmed; 1 bad usage (nothing sent); 2 the port could not be opened
or the link was lost; 3 no answer, or a different answer than asked for, within the timeout;
4 the result (or the preset a save asked for) could not be written; a reader that went away
ends it as SIGPIPE does.
</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>cannot write the result: %1</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>replies</name>
    <message>
        <source>HDMI Out%1 -&gt; HDMI In %2</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>setupfile</name>
    <message>
        <source>it is a symbolic link, which the console neither reads nor writes through; replace it with a plain file</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>it is not a plain file (a pipe, a device or a folder), so it is not read; replace it with a plain file</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>it is larger than %1 MiB, so it is not read</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>it cannot be written</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cannot change %1: %2 (process %3) was changing it for more than %4 seconds; try again.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>another program</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cannot change %1: its lock file %2.lock cannot be made.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cannot change %1: %2.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
</TS>
