<?xml version='1.0' encoding='utf-8'?>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>ReportPainter</name>
    <message>
        <source>时间(单位ms)</source>
        <translation>Time (ms)</translation>
    </message>
</context>
<context>
    <name>SummaryPlot</name>
    <message>
        <source>过渡时间 T %1 (ms)</source>
        <translation>Transition time T %1 (ms)</translation>
    </message>
    <message>
        <source>过渡电阻 R1、R2 %1 (Ω)</source>
        <translation>Transition resistance R1, R2 %1 (Ω)</translation>
    </message>
</context>
<context>
    <name>SummaryReport</name>
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
        <source>有载分接开关过渡过程测试汇总</source>
        <translation>OLTC Transition Test Summary</translation>
    </message>
    <message>
        <source>测试地点：%1</source>
        <translation>Place: %1</translation>
    </message>
    <message>
        <source>被试设备：%1</source>
        <translation>Device: %1</translation>
    </message>
    <message>
        <source>测试时间：%1 至 %2</source>
        <translation>Tested: %1 to %2</translation>
    </message>
    <message>
        <source>测试人员：%1</source>
        <translation>Tester: %1</translation>
    </message>
    <message>
        <source>结论：%1（共 %2 次测试，不合格 %3 次，无法判断 %4 次）</source>
        <translation>Verdict: %1 (%2 tests, %3 failing, %4 unknown)</translation>
    </message>
    <message>
        <source>分接</source>
        <translation>Tap</translation>
    </message>
    <message>
        <source>结论</source>
        <translation>Verdict</translation>
    </message>
    <message>
        <source>分接方向 %1</source>
        <translation>Direction %1</translation>
    </message>
    <message>
        <source>判断依据</source>
        <translation>Findings</translation>
    </message>
    <message>
        <source>所有测试均在允许范围之内。</source>
        <translation>Every test is within its limits.</translation>
    </message>
</context>
<context>
    <name>UDlgPreview</name>
    <message>
        <source>保存为PDF</source>
        <translation>Save as PDF</translation>
    </message>
    <message>
        <source>PDF文件(*.pdf)</source>
        <translation>PDF files (*.pdf)</translation>
    </message>
    <message>
        <source>整张纸缩微显示</source>
        <translation>Whole page</translation>
    </message>
    <message>
        <source>100%显示</source>
        <translation>100%</translation>
    </message>
    <message>
        <source>调整为宽度适合</source>
        <translation>Page width</translation>
    </message>
    <message>
        <source>第一页</source>
        <translation>First page</translation>
    </message>
    <message>
        <source>上一页</source>
        <translation>Previous page</translation>
    </message>
    <message>
        <source>下一页</source>
        <translation>Next page</translation>
    </message>
    <message>
        <source>最后一页</source>
        <translation>Last page</translation>
    </message>
    <message>
        <source>打印机设置</source>
        <translation>Printer setup</translation>
    </message>
    <message>
        <source>打印</source>
        <translation>Print</translation>
    </message>
    <message>
        <source>退出预览</source>
        <translation>Close the preview</translation>
    </message>
    <message>
        <source> 第 %1 页   总 %2 页</source>
        <translation> Page %1 of %2</translation>
    </message>
    <message>
        <source>系统中没有安装打印机！</source>
        <translation>No printer is installed!</translation>
    </message>
    <message>
        <source>打印失败！</source>
        <translation>Printing failed!</translation>
    </message>
    <message>
        <source>保存PDF文件失败！
%1</source>
        <translation>Saving the PDF failed!
%1</translation>
    </message>
</context>
<context>
    <name>UQRMain</name>
    <message>
        <source>T1：                  mS</source>
        <translation>T1:                   ms</translation>
    </message>
    <message>
        <source>T2：                  mS </source>
        <translation>T2:                   ms </translation>
    </message>
    <message>
        <source>T3：                  mS</source>
        <translation>T3:                   ms</translation>
    </message>
    <message>
        <source>T  ：                  mS</source>
        <translation>T  :                   ms</translation>
    </message>
    <message>
        <source>R1：                  Ω</source>
        <translation>R1:                   Ω</translation>
    </message>
    <message>
        <source>R2：                   Ω</source>
        <translation>R2:                    Ω</translation>
    </message>
    <message>
        <source>T1：                   mS</source>
        <translation>T1:                    ms</translation>
    </message>
    <message>
        <source>T2：                   mS</source>
        <translation>T2:                    ms</translation>
    </message>
    <message>
        <source>T3：                   mS</source>
        <translation>T3:                    ms</translation>
    </message>
    <message>
        <source>T  ：                   mS</source>
        <translation>T  :                    ms</translation>
    </message>
    <message>
        <source>R1：                   Ω</source>
        <translation>R1:                    Ω</translation>
    </message>
    <message>
        <source>R1：                    Ω</source>
        <translation>R1:                     Ω</translation>
    </message>
    <message>
        <source>R2：                    Ω</source>
        <translation>R2:                     Ω</translation>
    </message>
    <message>
        <source>△T0：                   mS</source>
        <translation>ΔT0:                    ms</translation>
    </message>
    <message>
        <source>△T2：                   mS</source>
        <translation>ΔT2:                    ms</translation>
    </message>
    <message>
        <source>△R1：                   Ω</source>
        <translation>ΔR1:                    Ω</translation>
    </message>
    <message>
        <source>△T1：                    mS</source>
        <translation>ΔT1:                     ms</translation>
    </message>
    <message>
        <source>△T3：                    mS</source>
        <translation>ΔT3:                     ms</translation>
    </message>
    <message>
        <source>△R2：                     Ω</source>
        <translation>ΔR2:                      Ω</translation>
    </message>
    <message>
        <source>有载分接开关测试仪</source>
        <translation>OLTC Transition Tester</translation>
    </message>
    <message>
        <source>测试参数</source>
        <translation>Test parameters</translation>
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
        <source>采样触发：</source>
        <translation>Trigger:</translation>
    </message>
    <message>
        <source>预采样    ：</source>
        <translation>Pre-trigger:</translation>
    </message>
    <message>
        <source> 点</source>
        <translation> pts</translation>
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
        <source>系统设置</source>
        <translation>System settings</translation>
    </message>
    <message>
        <source>相 序 A</source>
        <translation>Phase A</translation>
    </message>
    <message>
        <source>相 序 B</source>
        <translation>Phase B</translation>
    </message>
    <message>
        <source>相 序 C</source>
        <translation>Phase C</translation>
    </message>
    <message>
        <source> 转角：                      圈                      度</source>
        <translation> Rotation:                   turns                   °</translation>
    </message>
    <message>
        <source>VQ8512有载分接开关测试仪 主报表</source>
        <translation>VQ8512 OLTC Transition Tester Report</translation>
    </message>
</context>
</TS>