' FileExists as a script calls it: the text in a variable, passed by reference.
Set panel = CreateObject("ITrakon.InfoTrakon")
agenda = WScript.Arguments(0)
WScript.Echo "agenda " & panel.FileExists(agenda) & " " & agenda
WScript.Echo "missing " & panel.FileExists(agenda & ".none")
folder = Left(agenda, InStrRev(agenda, "\") - 1)
WScript.Echo "folder " & panel.FileExists(folder)
WScript.Echo "unchanged " & agenda
WScript.Echo "done"
