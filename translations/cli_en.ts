<?xml version='1.0' encoding='utf-8'?>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>DeviceCommands</name>
    <message>
        <source>oltc-cli: 通讯失败！ %1: %2 (%3)
</source>
        <translation>oltc-cli: communication failed! %1: %2 (%3)
</translation>
    </message>
</context>
<context>
    <name>ExportCommand</name>
    <message>
        <source>系统数据已遭到破坏！ 请重新安装系统！ (no %1)</source>
        <translation>Program data damaged! Please reinstall the program! (no %1)</translation>
    </message>
    <message>
        <source>模板格式不匹配！ (%1)</source>
        <translation>The template does not match! (%1)</translation>
    </message>
</context>
<context>
    <name>LiveCommand</name>
    <message>
        <source>oltc-cli live: 发送参数失败！ (%1)
</source>
        <translation>oltc-cli live: sending the parameters failed! (%1)
</translation>
    </message>
    <message>
        <source>oltc-cli live: 开始充电失败！ (%1)
</source>
        <translation>oltc-cli live: charging could not start! (%1)
</translation>
    </message>
</context>
<context>
    <name>ShowCommand</name>
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
        <source>结论：%1
</source>
        <translation>Verdict: %1
</translation>
    </message>
    <message>
        <source>开关类型：</source>
        <translation>Switch type: </translation>
    </message>
    <message>
        <source>测试方式：</source>
        <translation>Test mode: </translation>
    </message>
    <message>
        <source>测试档位：</source>
        <translation>Tap step: </translation>
    </message>
    <message>
        <source>滤波深度：</source>
        <translation>Filter: </translation>
    </message>
    <message>
        <source>充电时间：</source>
        <translation>Charge time: </translation>
    </message>
    <message>
        <source>波形：</source>
        <translation>Waveform: </translation>
    </message>
    <message>
        <source>采样触发：</source>
        <translation>Trigger: </translation>
    </message>
    <message>
        <source>预采样：</source>
        <translation>Pre-trigger: </translation>
    </message>
    <message>
        <source>%1 点  %2 mS</source>
        <translation>%1 pts  %2 ms</translation>
    </message>
    <message>
        <source>测试人员：</source>
        <translation>Tester: </translation>
    </message>
    <message>
        <source>测试地点：</source>
        <translation>Place: </translation>
    </message>
    <message>
        <source>测试时间：</source>
        <translation>Test time: </translation>
    </message>
    <message>
        <source>转角：</source>
        <translation>Rotation: </translation>
    </message>
    <message>
        <source>%1 圈 %2 度</source>
        <translation>%1 turns %2°</translation>
    </message>
    <message>
        <source>光标        t1    t2    t3    t4
</source>
        <translation>Markers     t1    t2    t3    t4
</translation>
    </message>
    <message>
        <source>相 序 %1</source>
        <translation>Phase %1</translation>
    </message>
    <message>
        <source>自动定位：</source>
        <translation>Auto markers: </translation>
    </message>
    <message>
        <source>结果     T1/mS   T2/mS   T3/mS    T/mS    R1/Ω    R2/Ω
</source>
        <translation>Results  T1/ms   T2/ms   T3/ms    T/ms    R1/Ω    R2/Ω
</translation>
    </message>
    <message>
        <source>△T0：%1 mS  △T1：%2 mS  △T2：%3 mS  △T3：%4 mS  △R1：%5 Ω  △R2：%6 Ω
</source>
        <translation>ΔT0: %1 ms  ΔT1: %2 ms  ΔT2: %3 ms  ΔT3: %4 ms  ΔR1: %5 Ω  ΔR2: %6 Ω
</translation>
    </message>
</context>
<context>
    <name>UMain</name>
    <message>
        <source>导出</source>
        <translation>Export</translation>
    </message>
</context>
</TS>