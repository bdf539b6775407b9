<?xml version='1.0' encoding='utf-8'?>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>ArchiveModel</name>
    <message>
        <source>现场测试</source>
        <translation>live test</translation>
    </message>
    <message>
        <source>历史数据</source>
        <translation>Stored tests</translation>
    </message>
    <message>
        <source>命令行上传</source>
        <translation>command-line upload</translation>
    </message>
    <message>
        <source>数据文件</source>
        <translation>file</translation>
    </message>
    <message>
        <source>导入</source>
        <translation>import</translation>
    </message>
    <message>
        <source>有</source>
        <translation>yes</translation>
    </message>
    <message>
        <source>基准</source>
        <translation>baseline</translation>
    </message>
    <message>
        <source>测试时间</source>
        <translation>Test time</translation>
    </message>
    <message>
        <source>测试地点</source>
        <translation>Place</translation>
    </message>
    <message>
        <source>被试设备</source>
        <translation>Device</translation>
    </message>
    <message>
        <source>测试人员</source>
        <translation>Tester</translation>
    </message>
    <message>
        <source>分接位置</source>
        <translation>Tap step</translation>
    </message>
    <message>
        <source>来源</source>
        <translation>Source</translation>
    </message>
    <message>
        <source>标记</source>
        <translation>Markers</translation>
    </message>
</context>
<context>
    <name>HistoryUpload</name>
    <message>
        <source>通讯失败！</source>
        <translation>Communication failed!</translation>
    </message>
</context>
<context>
    <name>RunTest</name>
    <message>
        <source>采样进行中，等待动作分接开关...</source>
        <translation>Capturing: operate the tap changer...</translation>
    </message>
</context>
<context>
    <name>UDlgArchive</name>
    <message>
        <source>测试档案</source>
        <translation>Archive</translation>
    </message>
    <message>
        <source>测试日期</source>
        <translation>Test dates</translation>
    </message>
    <message>
        <source>全部</source>
        <translation>All</translation>
    </message>
    <message>
        <source>被试设备</source>
        <translation>Device</translation>
    </message>
    <message>
        <source>测试人员</source>
        <translation>Tester</translation>
    </message>
    <message>
        <source>测试地点</source>
        <translation>Place</translation>
    </message>
    <message>
        <source>至</source>
        <translation>to</translation>
    </message>
    <message>
        <source>分接位置</source>
        <translation>Tap step</translation>
    </message>
    <message>
        <source>方向</source>
        <translation>Direction</translation>
    </message>
    <message>
        <source>打开时恢复标记</source>
        <translation>Open with kept markers</translation>
    </message>
    <message>
        <source>打开测试时自动恢复测试档案中保存的光标</source>
        <translation>Put the markers kept in the archive back when a test opens</translation>
    </message>
    <message>
        <source>打开</source>
        <translation>Open</translation>
    </message>
    <message>
        <source>打开并恢复标记</source>
        <translation>Open with markers</translation>
    </message>
    <message>
        <source>编辑注释</source>
        <translation>Annotate</translation>
    </message>
    <message>
        <source>导出数据文件</source>
        <translation>Write test files</translation>
    </message>
    <message>
        <source>设为基准</source>
        <translation>Baseline</translation>
    </message>
    <message>
        <source>把选中的测试作为其分接位置的基准（再按一次取消）</source>
        <translation>Make the selected tests the baselines of their tap steps (again to undo)</translation>
    </message>
    <message>
        <source>汇总</source>
        <translation>Summary</translation>
    </message>
    <message>
        <source>按分接比较选中的测试（未选时为列出的全部测试）</source>
        <translation>Compare the selected tests tap by tap (all listed when none is selected)</translation>
    </message>
    <message>
        <source>汇总文件夹...</source>
        <translation>Summarise a folder...</translation>
    </message>
    <message>
        <source>按分接比较一个文件夹中的全部测试</source>
        <translation>Compare every test of a folder tap by tap</translation>
    </message>
    <message>
        <source>关闭</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>汇总文件夹</source>
        <translation>Summarise a folder</translation>
    </message>
    <message>
        <source>测试档案不能写入：</source>
        <translation>The archive cannot be written: </translation>
    </message>
    <message>
        <source>测试档案不能读取：</source>
        <translation>The archive cannot be read: </translation>
    </message>
    <message>
        <source>显示前 %1 次测试，请用条件缩小范围</source>
        <translation>The first %1 tests shown; narrow the choice</translation>
    </message>
    <message>
        <source>共 %1 次测试</source>
        <translation>%1 tests</translation>
    </message>
    <message>
        <source>报告编号</source>
        <translation>Report number</translation>
    </message>
    <message>
        <source>备注</source>
        <translation>Remark</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>导出数据文件失败！
</source>
        <translation>Writing the test files failed!
</translation>
    </message>
    <message>
        <source>已导出 %1 个数据文件</source>
        <translation>%1 test files written</translation>
    </message>
</context>
<context>
    <name>UDlgCharge</name>
    <message>
        <source>开始测试</source>
        <translation>Start test</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>充电进行中...</source>
        <translation>Charging...</translation>
    </message>
    <message>
        <source>电压</source>
        <translation>Voltage</translation>
    </message>
    <message>
        <source>电流</source>
        <translation>Current</translation>
    </message>
    <message>
        <source>电阻</source>
        <translation>Resistance</translation>
    </message>
    <message>
        <source>电阻变化率</source>
        <translation>Change rate</translation>
    </message>
    <message>
        <source>通讯失败！</source>
        <translation>Communication failed!</translation>
    </message>
    <message>
        <source>已充电%1 S...</source>
        <translation>Charged %1 s...</translation>
    </message>
</context>
<context>
    <name>UDlgHistoryIndex</name>
    <message>
        <source>历史数据</source>
        <translation>Stored tests</translation>
    </message>
    <message>
        <source>序号</source>
        <translation>No.</translation>
    </message>
    <message>
        <source>测试档位</source>
        <translation>Tap step</translation>
    </message>
    <message>
        <source>测试时间</source>
        <translation>Test time</translation>
    </message>
    <message>
        <source>通讯失败！</source>
        <translation>Communication failed!</translation>
    </message>
    <message>
        <source>正在上传数据...</source>
        <translation>Uploading...</translation>
    </message>
</context>
<context>
    <name>UDlgProcess</name>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>系统正在检测数据，请稍候 ...</source>
        <translation>Checking the data, please wait...</translation>
    </message>
</context>
<context>
    <name>UDlgSampleData</name>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>请稍候...</source>
        <translation>Please wait...</translation>
    </message>
    <message>
        <source>通讯失败！</source>
        <translation>Communication failed!</translation>
    </message>
    <message>
        <source>正在上传%1相数据，请稍候....</source>
        <translation>Uploading phase %1, please wait....</translation>
    </message>
</context>
<context>
    <name>UDlgSetComm</name>
    <message>
        <source>串口：</source>
        <translation>Port:</translation>
    </message>
    <message>
        <source>波特率：</source>
        <translation>Baud rate:</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>退出</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>通讯设置</source>
        <translation>Comm setup</translation>
    </message>
    <message>
        <source>通讯方式：</source>
        <translation>Link:</translation>
    </message>
    <message>
        <source>串口</source>
        <translation>Serial</translation>
    </message>
</context>
<context>
    <name>UDlgSummary</name>
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
        <source>汇总</source>
        <translation>Summary</translation>
    </message>
    <message>
        <source>无</source>
        <translation>none</translation>
    </message>
    <message>
        <source>%1 次测试</source>
        <translation>%1 tests</translation>
    </message>
    <message>
        <source>默认</source>
        <translation>default</translation>
    </message>
    <message>
        <source>基准...</source>
        <translation>Baseline...</translation>
    </message>
    <message>
        <source>判断标准...</source>
        <translation>Profile...</translation>
    </message>
    <message>
        <source>档案中标记的基准</source>
        <translation>Baselines marked in the archive</translation>
    </message>
    <message>
        <source>选择测试文件...</source>
        <translation>Choose test files...</translation>
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
        <source>选择文件夹...</source>
        <translation>Choose a folder...</translation>
    </message>
    <message>
        <source>不比较基准</source>
        <translation>No baseline</translation>
    </message>
    <message>
        <source>选择标准文件...</source>
        <translation>Choose a profile file...</translation>
    </message>
    <message>
        <source>选择判断标准</source>
        <translation>Choose a profile</translation>
    </message>
    <message>
        <source>标准文件(*.ini)</source>
        <translation>Profiles (*.ini)</translation>
    </message>
    <message>
        <source>默认标准</source>
        <translation>Default profile</translation>
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
        <source>数据</source>
        <translation>Table</translation>
    </message>
    <message>
        <source>曲线</source>
        <translation>Plots</translation>
    </message>
    <message>
        <source>导出</source>
        <translation>Export</translation>
    </message>
    <message>
        <source>关闭</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>%1（%2 次测试）</source>
        <translation>%1 (%2 tests)</translation>
    </message>
    <message>
        <source>没有可用作基准的测试数据！</source>
        <translation>No test that can serve as a baseline! </translation>
    </message>
    <message>
        <source>、</source>
        <translation>, </translation>
    </message>
    <message>
        <source>所选文件</source>
        <translation>the files chosen</translation>
    </message>
    <message>
        <source>读取判断标准失败！</source>
        <translation>Cannot read the profile! </translation>
    </message>
    <message>
        <source>测试地点：%1    被试设备：%2    结论：%3（共 %4 次测试，不合格 %5 次）</source>
        <translation>Place: %1    Device: %2    Verdict: %3 (%4 tests, %5 failing)</translation>
    </message>
    <message>
        <source>基准：%1    判断标准：%2</source>
        <translation>Baseline: %1    Profile: %2</translation>
    </message>
    <message>
        <source>所有测试均在允许范围之内。</source>
        <translation>Every test is within its limits.</translation>
    </message>
    <message>
        <source>导出汇总</source>
        <translation>Export the summary</translation>
    </message>
    <message>
        <source>只能导出 .pdf、.xlsx、.json 或 .csv</source>
        <translation>Only .pdf, .xlsx, .json or .csv can be written</translation>
    </message>
    <message>
        <source>导出汇总失败！</source>
        <translation>Exporting the summary failed! </translation>
    </message>
</context>
</TS>