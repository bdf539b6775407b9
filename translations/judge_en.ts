<?xml version='1.0' encoding='utf-8'?>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>Judge</name>
    <message>
        <source>%1相：%2 ms 处电流中断（%3 Ω）</source>
        <translation>Phase %1: the current is interrupted at %2 ms (%3 Ω)</translation>
    </message>
    <message>
        <source>%1相：%2 = %3 ms，超出厂家规定的 %4 至 %5 ms</source>
        <translation>Phase %1: %2 = %3 ms, outside the maker's %4 to %5 ms</translation>
    </message>
    <message>
        <source>%1相：R%2 = %3 Ω，与铭牌值 %4 Ω 相差超过 %5%</source>
        <translation>Phase %1: R%2 = %3 Ω, more than %5% from the nameplate's %4 Ω</translation>
    </message>
    <message>
        <source>三相起始时刻相差 %1 ms，超过厂家规定的 %2 ms</source>
        <translation>The phases start %1 ms apart, more than the maker's %2 ms</translation>
    </message>
    <message>
        <source>%1相：未找到过渡过程，无法判断</source>
        <translation>Phase %1: no transition found, cannot be judged</translation>
    </message>
    <message>
        <source>%1相：%2 = %3 ms，基准为 %4 ms</source>
        <translation>Phase %1: %2 = %3 ms, baseline %4 ms</translation>
    </message>
    <message>
        <source>%1相：R%2 = %3 Ω，基准为 %4 Ω</source>
        <translation>Phase %1: R%2 = %3 Ω, baseline %4 Ω</translation>
    </message>
    <message>
        <source>%1：%2 次测试，分接间比较至少需要 %3 次，未比较</source>
        <translation>%1: %2 tests; comparing taps needs at least %3, not compared</translation>
    </message>
    <message>
        <source>%1相：%2 = %3 ms，各分接中值 %4 ms</source>
        <translation>Phase %1: %2 = %3 ms, median of the taps %4 ms</translation>
    </message>
    <message>
        <source>%1相：R%2 = %3 Ω，各分接中值 %4 Ω</source>
        <translation>Phase %1: R%2 = %3 Ω, median of the taps %4 Ω</translation>
    </message>
    <message>
        <source>三相起始时刻相差 %1 ms，各分接中值 %2 ms</source>
        <translation>The phases start %1 ms apart, median of the taps %2 ms</translation>
    </message>
</context>
</TS>