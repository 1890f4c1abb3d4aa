object FormMsg: TFormMsg
  Left = 0
  Top = 0
  Width = 617
  Height = 435
  Caption = 'FormMsg'
  Font.Charset = RUSSIAN_CHARSET
  Font.Color = clWindowText
  Font.Height = -12
  Font.Name = 'Tahoma'
  Font.Style = []
  Position = poDesktopCenter
  Visible = False
end
