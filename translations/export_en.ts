<?xml version='1.0' encoding='utf-8'?>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>ChartPicture</name>
    <message>
        <source>设备已断开！</source>
        <translation>Tester disconnected!</translation>
    </message>
</context>
<context>
    <name>Comtrade</name>
    <message>
        <source>有载分接开关测试仪报告</source>
        <translation>OLTC Transition Test Report</translation>
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
        <source>充电时间：</source>
        <translation>Charge time:</translation>
    </message>
    <message>
        <source>波形：</source>
        <translation>Waveform:</translation>
    </message>
    <message>
        <source>采样触发：%1 Ω</source>
        <translation>Trigger: %1 Ω</translation>
    </message>
    <message>
        <source>预采样：%1 点  %2 mS</source>
        <translation>Pre-trigger: %1 pts  %2 ms</translation>
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
        <source>光标（采样点，0.1 mS）  t1  t2  t3  t4</source>
        <translation>Markers (samples, 0.1 ms)  t1  t2  t3  t4</translation>
    </message>
    <message>
        <source>相序%1</source>
        <translation>Phase %1</translation>
    </message>
</context>
<context>
    <name>Document</name>
    <message>
        <source>被试设备：</source>
        <translation>Device:</translation>
    </message>
    <message>
        <source>报告编号：</source>
        <translation>Report number:</translation>
    </message>
    <message>
        <source>测试曲线</source>
        <translation>Test waveforms</translation>
    </message>
</context>
<context>
    <name>ExportActions</name>
    <message>
        <source>系统数据已遭到破坏！<byte value="xd" /><byte value="xd" />请重新安装系统！</source>
        <translation>Program data damaged!</translation>
    </message>
    <message>
        <source>正在进行Excel报表转换，请稍候...</source>
        <translation>Writing the workbook, please wait...</translation>
    </message>
    <message>
        <source>转换成Excel格式失败！</source>
        <translation>Writing the workbook failed!</translation>
    </message>
    <message>
        <source>系统操作发生意外！</source>
        <translation>Unexpected failure!</translation>
    </message>
    <message>
        <source>正在为报表转换作准备，请稍候...</source>
        <translation>Preparing the document, please wait...</translation>
    </message>
    <message>
        <source>正在模板制作过程中...</source>
        <translation>Filling the template...</translation>
    </message>
    <message>
        <source>正在加载数据过程中...</source>
        <translation>Loading the data...</translation>
    </message>
    <message>
        <source>模板格式不匹配！</source>
        <translation>The template does not match!</translation>
    </message>
    <message>
        <source>导出波形数据失败！</source>
        <translation>Writing the waveform data failed!</translation>
    </message>
</context>
<context>
    <name>SheetCells</name>
    <message>
        <source>转角: %1 圈 %2 度</source>
        <translation>Rotation: %1 turns %2°</translation>
    </message>
    <message>
        <source>有载分接开关测试仪报告</source>
        <translation>OLTC Transition Test Report</translation>
    </message>
    <message>
        <source>测试参数</source>
        <translation>Test parameters</translation>
    </message>
    <message>
        <source>开关类型:</source>
        <translation>Switch type:</translation>
    </message>
    <message>
        <source>测试方式:</source>
        <translation>Test mode:</translation>
    </message>
    <message>
        <source>测试档位:</source>
        <translation>Tap step:</translation>
    </message>
    <message>
        <source>采样触发:</source>
        <translation>Trigger:</translation>
    </message>
    <message>
        <source>预采样  :</source>
        <translation>Pre-trigger:</translation>
    </message>
    <message>
        <source>系统设置</source>
        <translation>System settings</translation>
    </message>
    <message>
        <source>测试人员:</source>
        <translation>Tester:</translation>
    </message>
    <message>
        <source>测试地点:</source>
        <translation>Place:</translation>
    </message>
    <message>
        <source>测试时间:</source>
        <translation>Test time:</translation>
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
        <source> 点</source>
        <translation> pts</translation>
    </message>
    <message>
        <source>%1 点</source>
        <translation>%1 pts</translation>
    </message>
    <message>
        <source> mS</source>
        <translation> ms</translation>
    </message>
</context>
<context>
    <name>SummaryWorkbook</name>
    <message>
        <source>合格</source>
        <translation>pass</translation>
    </message>
    <message>
        <source>不合格</source>
        <translation>fail</translation>
    </message>
    <message>
        <source>无法判断</source>
        <translation>unknown</translation>
    </message>
    <message>
        <source>测试地点：%1    被试设备：%2</source>
        <translation>Place: %1    Device: %2</translation>
    </message>
    <message>
        <source>测试时间：%1 至 %2    测试人员：%3</source>
        <translation>Tested: %1 to %2    Tester: %3</translation>
    </message>
    <message>
        <source>分接位置</source>
        <translation>Tap step</translation>
    </message>
    <message>
        <source>结论</source>
        <translation>Verdict</translation>
    </message>
    <message>
        <source>判断依据</source>
        <translation>Findings</translation>
    </message>
    <message>
        <source>；</source>
        <translation>; </translation>
    </message>
    <message>
        <source>过渡时间 T (ms)</source>
        <translation>Transition time T (ms)</translation>
    </message>
    <message>
        <source>过渡电阻 R1、R2 (Ω)</source>
        <translation>Transition resistance R1, R2 (Ω)</translation>
    </message>
    <message>
        <source>方向 -&gt;</source>
        <translation>Direction -&gt;</translation>
    </message>
    <message>
        <source>方向 &lt;-</source>
        <translation>Direction &lt;-</translation>
    </message>
</context>
<context>
    <name>Workbook</name>
    <message>
        <source>波形数据</source>
        <translation>Waveforms</translation>
    </message>
    <message>
        <source>时间(ms)</source>
        <translation>Time (ms)</translation>
    </message>
    <message>
        <source>A相</source>
        <translation>Phase A</translation>
    </message>
    <message>
        <source>B相</source>
        <translation>Phase B</translation>
    </message>
    <message>
        <source>C相</source>
        <translation>Phase C</translation>
    </message>
    <message>
        <source>三相过渡波形</source>
        <translation>Transition waveforms of the three phases</translation>
    </message>
    <message>
        <source>电阻(Ω)</source>
        <translation>Resistance (Ω)</translation>
    </message>
</context>
</TS>