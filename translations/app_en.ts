<?xml version='1.0' encoding='utf-8'?>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>Application</name>
    <message>
        <source>未知错误</source>
        <translation>Unknown error</translation>
    </message>
</context>
<context>
    <name>UMain</name>
    <message>
        <source>导出</source>
        <translation>Export</translation>
    </message>
    <message>
        <source>设备已断开！</source>
        <translation>Tester disconnected!</translation>
    </message>
    <message>
        <source>连接设备</source>
        <translation>Connect</translation>
    </message>
    <message>
        <source>上传数据</source>
        <translation>Upload</translation>
    </message>
    <message>
        <source>保存</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>打开</source>
        <translation>Open</translation>
    </message>
    <message>
        <source>打印</source>
        <translation>Print</translation>
    </message>
    <message>
        <source>通讯设置</source>
        <translation>Comm setup</translation>
    </message>
    <message>
        <source>曲线背景色</source>
        <translation>Background</translation>
    </message>
    <message>
        <source>退出</source>
        <translation>Exit</translation>
    </message>
    <message>
        <source>测试参数</source>
        <translation>Test parameters</translation>
    </message>
    <message>
        <source>系统设置</source>
        <translation>System settings</translation>
    </message>
    <message>
        <source>光标信息</source>
        <translation>Cursor</translation>
    </message>
    <message>
        <source>开关类型：</source>
        <translation>Switch type:</translation>
    </message>
    <message>
        <source>测试方式：</source>
        <translation>Test mode:</translation>
    </message>
    <message>
        <source>测试档位：</source>
        <translation>Tap step:</translation>
    </message>
    <message>
        <source>滤波深度：</source>
        <translation>Filter:</translation>
    </message>
    <message>
        <source>充电时间：               S</source>
        <translation>Charge time:             s</translation>
    </message>
    <message>
        <source>采样触发：              Ω</source>
        <translation>Trigger:                 Ω</translation>
    </message>
    <message>
        <source>波形    ：</source>
        <translation>Waveform:</translation>
    </message>
    <message>
        <source>预采样  ：               点</source>
        <translation>Pre-trigger:           pts</translation>
    </message>
    <message>
        <source>开始充电</source>
        <translation>Charge</translation>
    </message>
    <message>
        <source>测试人员：</source>
        <translation>Tester:</translation>
    </message>
    <message>
        <source>测试地点：</source>
        <translation>Place:</translation>
    </message>
    <message>
        <source>测试时间：</source>
        <translation>Test time:</translation>
    </message>
    <message>
        <source>时间    ：               mS</source>
        <translation>Time    :               ms</translation>
    </message>
    <message>
        <source>相序A   ：               Ω</source>
        <translation>Phase A :               Ω</translation>
    </message>
    <message>
        <source>相序B   ：               Ω</source>
        <translation>Phase B :               Ω</translation>
    </message>
    <message>
        <source>相序C   ：               Ω</source>
        <translation>Phase C :               Ω</translation>
    </message>
    <message>
        <source>曲线反转：</source>
        <translation>Invert:</translation>
    </message>
    <message>
        <source>相 序 %1</source>
        <translation>Phase %1</translation>
    </message>
    <message>
        <source>自动定位</source>
        <translation>Auto markers</translation>
    </message>
    <message>
        <source>按波形自动放置光标 (Ctrl+M)</source>
        <translation>Place the markers on the waveforms' edges (Ctrl+M)</translation>
    </message>
    <message>
        <source>恢复标记</source>
        <translation>Kept markers</translation>
    </message>
    <message>
        <source>恢复测试档案中保存的光标 (Ctrl+R)</source>
        <translation>Put back the markers kept in the archive (Ctrl+R)</translation>
    </message>
    <message>
        <source>测试档案</source>
        <translation>Archive</translation>
    </message>
    <message>
        <source>保存过的全部测试 (Ctrl+D)</source>
        <translation>Every test kept (Ctrl+D)</translation>
    </message>
    <message>
        <source>对比基准</source>
        <translation>Baseline</translation>
    </message>
    <message>
        <source>把基准测试的波形画在当前波形之下并比较 (Ctrl+B)</source>
        <translation>Draw a baseline test under this one and compare (Ctrl+B)</translation>
    </message>
    <message>
        <source>相序A</source>
        <translation>Phase A</translation>
    </message>
    <message>
        <source>相序B</source>
        <translation>Phase B</translation>
    </message>
    <message>
        <source>相序C</source>
        <translation>Phase C</translation>
    </message>
    <message>
        <source>转角：               圈               度</source>
        <translation>Angle:               turns               °</translation>
    </message>
    <message>
        <source>T1：               mS</source>
        <translation>T1:                mS</translation>
    </message>
    <message>
        <source>T2：               mS</source>
        <translation>T2:                mS</translation>
    </message>
    <message>
        <source>T3：               mS</source>
        <translation>T3:                mS</translation>
    </message>
    <message>
        <source>T ：               mS</source>
        <translation>T :                mS</translation>
    </message>
    <message>
        <source>R1：               Ω</source>
        <translation>R1:                Ω</translation>
    </message>
    <message>
        <source>R2：               Ω</source>
        <translation>R2:                Ω</translation>
    </message>
    <message>
        <source>△T0：               mS</source>
        <translation>ΔT0:                mS</translation>
    </message>
    <message>
        <source>△T2：               mS</source>
        <translation>ΔT2:                mS</translation>
    </message>
    <message>
        <source>△R1：               Ω</source>
        <translation>ΔR1:                Ω</translation>
    </message>
    <message>
        <source>△T1：               mS</source>
        <translation>ΔT1:                mS</translation>
    </message>
    <message>
        <source>△T3：               mS</source>
        <translation>ΔT3:                mS</translation>
    </message>
    <message>
        <source>△R2：               Ω</source>
        <translation>ΔR2:                Ω</translation>
    </message>
</context>
<context>
    <name>UMainArchive</name>
    <message>
        <source>测试档案不可用：</source>
        <translation>The archive cannot be used: </translation>
    </message>
    <message>
        <source>没有保存的标记</source>
        <translation>No kept markers</translation>
    </message>
    <message>
        <source>已恢复标记</source>
        <translation>Markers put back</translation>
    </message>
    <message>
        <source>打开数据文件失败！</source>
        <translation>Cannot open the test file!</translation>
    </message>
</context>
<context>
    <name>UMainBaseline</name>
    <message>
        <source>档案中的基准</source>
        <translation>Baseline from the archive</translation>
    </message>
    <message>
        <source>选择文件...</source>
        <translation>Choose a file...</translation>
    </message>
    <message>
        <source>选择基准</source>
        <translation>Choose a baseline</translation>
    </message>
    <message>
        <source>数据文件(*.cty)</source>
        <translation>Test files (*.cty)</translation>
    </message>
    <message>
        <source>取消对比</source>
        <translation>End the comparison</translation>
    </message>
    <message>
        <source>测试档案中没有 %1 的基准</source>
        <translation>No baseline of %1 in the archive</translation>
    </message>
    <message>
        <source>打开数据文件失败！</source>
        <translation>Cannot open the test file!</translation>
    </message>
    <message>
        <source>%1相 %2</source>
        <translation>%1 %2</translation>
    </message>
    <message>
        <source>与基准一致</source>
        <translation>Like its baseline</translation>
    </message>
    <message>
        <source>与基准不同：</source>
        <translation>Differs from its baseline: </translation>
    </message>
    <message>
        <source>基准为 %1，</source>
        <translation>Baseline of %1, </translation>
    </message>
    <message>
        <source>基准：%1
%2</source>
        <translation>Baseline: %1
%2</translation>
    </message>
</context>
<context>
    <name>UMainExport</name>
    <message>
        <source>测试数据文件(*.xlsx)</source>
        <translation>Test workbook (*.xlsx)</translation>
    </message>
    <message>
        <source>测试数据文件(*.docx)</source>
        <translation>Test document (*.docx)</translation>
    </message>
    <message>
        <source>波形数据(*.csv)</source>
        <translation>Waveform data (*.csv)</translation>
    </message>
    <message>
        <source>保存当前测试数据</source>
        <translation>Save the test</translation>
    </message>
    <message>
        <source>COMTRADE波形数据(*.cfg)</source>
        <translation>COMTRADE waveforms (*.cfg)</translation>
    </message>
</context>
<context>
    <name>UMainFiles</name>
    <message>
        <source>测试数据文件(*%1)</source>
        <translation>Test files (*%1)</translation>
    </message>
    <message>
        <source>打开数据文件失败！</source>
        <translation>Cannot open the test file!</translation>
    </message>
    <message>
        <source>打开试验数据</source>
        <translation>Open a test</translation>
    </message>
    <message>
        <source>保存当前测试数据</source>
        <translation>Save the test</translation>
    </message>
    <message>
        <source>保存数据文件失败！</source>
        <translation>Cannot save the test file!</translation>
    </message>
</context>
<context>
    <name>UMainLanguage</name>
    <message>
        <source>跟随系统</source>
        <translation>As the system</translation>
    </message>
    <message>
        <source>程序重新启动后使用所选的语言。</source>
        <translation>The chosen language is used from the program's next start.</translation>
    </message>
</context>
<context>
    <name>UMainLink</name>
    <message>
        <source>连接设备</source>
        <translation>Connect</translation>
    </message>
    <message>
        <source>新建测试</source>
        <translation>New test</translation>
    </message>
    <message>
        <source>设备已断开！</source>
        <translation>Tester disconnected!</translation>
    </message>
    <message>
        <source>已连接</source>
        <translation>Connected</translation>
    </message>
    <message>
        <source>通讯失败！请确保设备连接正确！</source>
        <translation>Communication failed! Check the tester's connection!</translation>
    </message>
    <message>
        <source>通讯失败！</source>
        <translation>Communication failed!</translation>
    </message>
    <message>
        <source>发送参数失败！</source>
        <translation>Sending the parameters failed!</translation>
    </message>
</context>
<context>
    <name>UMainMarkers</name>
    <message>
        <source>没有显示的波形</source>
        <translation>No waveform shown</translation>
    </message>
    <message>
        <source>把握度（1 为下限）：</source>
        <translation>Certainty (1 is the bar): </translation>
    </message>
    <message>
        <source>，</source>
        <translation>, </translation>
    </message>
</context>
<context>
    <name>UMainParams</name>
    <message>
        <source>采样触发范围为：0.1--20Ω，请重新输入！</source>
        <translation>The trigger ranges from 0.1 to 20 Ω. Please enter it again!</translation>
    </message>
    <message>
        <source>预采样点范围为：0--255，请重新输入！</source>
        <translation>Pre-trigger points range from 0 to 255. Please enter them again!</translation>
    </message>
    <message>
        <source>测试人员不得超过20个字符串！</source>
        <translation>The tester's name may not exceed 20 bytes!</translation>
    </message>
    <message>
        <source>测试地点不得超过20个字符串！</source>
        <translation>The place may not exceed 20 bytes!</translation>
    </message>
</context>
<context>
    <name>UMainProcedures</name>
    <message>
        <source>通讯失败！请确保设备连接正确！</source>
        <translation>Communication failed! Check the tester's connection!</translation>
    </message>
    <message>
        <source>通讯失败！</source>
        <translation>Communication failed!</translation>
    </message>
    <message>
        <source>开始充电失败！</source>
        <translation>Charging could not start!</translation>
    </message>
</context>
<context>
    <name>UMainSummary</name>
    <message>
        <source>文件夹中没有测试数据！</source>
        <translation>The folder holds no test files!</translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <source>没有用户主目录（HOME 未设置），无法保存设置和测试记录！</source>
        <translation>No home folder (HOME is not set): settings and tests cannot be saved!</translation>
    </message>
</context>
</TS>