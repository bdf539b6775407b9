<?xml version='1.0' encoding='utf-8'?>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>PortList</name>
    <message>
        <source>无此串口</source>
        <translation>No such port</translation>
    </message>
</context>
</TS>