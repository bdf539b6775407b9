<?xml version='1.0' encoding='utf-8'?>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>MarkerFinder</name>
    <message>
        <source> 已自动定位</source>
        <translation> placed</translation>
    </message>
    <message>
        <source>，</source>
        <translation>, </translation>
    </message>
    <message>
        <source> 无跳变</source>
        <translation> no transition</translation>
    </message>
    <message>
        <source>、</source>
        <translation>, </translation>
    </message>
</context>
<context>
    <name>Message</name>
    <message>
        <source>有载分接开关测试仪1.2</source>
        <translation>OLTC Transition Tester 1.2</translation>
    </message>
</context>
<context>
    <name>ParamLists</name>
    <message>
        <source>中性点引出</source>
        <translation>Neutral out</translation>
    </message>
    <message>
        <source>中性点不引出</source>
        <translation>No neutral</translation>
    </message>
    <message>
        <source>无</source>
        <translation>None</translation>
    </message>
    <message>
        <source>低</source>
        <translation>Low</translation>
    </message>
    <message>
        <source>中</source>
        <translation>Medium</translation>
    </message>
    <message>
        <source>高</source>
        <translation>High</translation>
    </message>
    <message>
        <source>手动</source>
        <translation>Manual</translation>
    </message>
    <message>
        <source>电压</source>
        <translation>Voltage</translation>
    </message>
    <message>
        <source>电阻</source>
        <translation>Resistance</translation>
    </message>
</context>
<context>
    <name>TestFile</name>
    <message>
        <source>读数据文件出错！</source>
        <translation>Error reading the test file!</translation>
    </message>
</context>
</TS>