EXPDP parfile=Parametros
COPY /y "C:\app\Veltrana\product\21c\admin\XE\dpdump\X.DMP" "D:\Quinta\19-SERVIDOR.DMP"
