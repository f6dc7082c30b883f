// The list of every extension the engine knows, as one comma-separated
// text. Mostly alphabetical, but not strictly: the order is part of it.
#pragma once

#include <string_view>

namespace zarvo {

inline constexpr std::string_view kKnownExtensions =
    "000,123,1tx,256,386,3gr,5tq,777,7pl,932,aac,abk,abp,acb,ace,acm,acs,aep,ahy,aif,aifc,"
    "aiff,ain,aiz,akt,alp,amg,amz,ani,apr,ar,ar7,arc,arg,arj,arq,arx,atp,au,asd,asf,avi,ax,"
    "aya,b64,bas,bat,bh,bif,bin,bix,bkf,blend,bme,bmp,bms,boa,boo,bpk,bsc,bsn,bup,bvi,bwi,"
    "bwt,bz2,bza,c,cab,cac,cal,cap,cat,ccd,cda,cdaz,cdb,cdf,cdj,cdl,cdr,cds,cer,cgi,cgm,chi,"
    "chm,cif,cl3,cl4,class,clb,clp,clr,cls,clw,cmf,cnf,cnt,cnv,com,cpl,cpp,cpt,cpz,crc,crl,"
    "cs,csh,css,ct,ctl,ctx,cur,cvs,d01,d02,d88,dbf,dbp,dbx,dcd,dci,dcm,dcp,dcr,dcu,ddr,deb,"
    "desklink,dgn,dgz,dib,dic,dicom,dif,dim,dir,djv,djvu,dll,dmg,doc,drv,drw,dry,dsk,dsm,dsp,"
    "dsr,dst,dsw,dun,dwc,dwf,dwg,dxf,dxm,ebd,ebk,ecd,edp,egd,emf,eml,enc,epc,eps,eri,esp,esr,"
    "etp,evt,exe,exp,exp1,f,fam,fcd,fdd,fdi,fdm,fds,fer,ffa,ffl,ffo,ffx,fig,fjl,fla,flc,fli,"
    "flx,fmm,fmz,fmv,fnd,fon,fpv,fpx,fr0,fr1,fr2,fr3,fr4,fr5,fr6,fr7,fr8,fr9,frm,frx,frz,fve,"
    "fwa,fwe,fzd,g36,gao,gb,gba,gbc,gbs,gca,gg,gho,gi,gid,gif,gir,gmc,gme,gra,grx,gz,gza,h,"
    "ha,hap,hd4,hdd,hdi,hdml,hdp,hhc,hhk,hhp,hlp,hmg,htm,html,htt,hpb,hqx,hs,hyp,iaf,iap,icc,"
    "ice,icm,ico,idb,idf,idl,if,iff,ifo,igs,ilk,ils,ime,img,ins,ipr,iri,ish,iso,ist,j2k,jab,"
    "jad,jam,jar,java,jaw,jbf,jbw,jcd,jfi,jfif,jfw,jif,jmg,jmr,jng,job,jpeg,jpg,jpr,jpz,jsd,"
    "jsr,jsw,jtd,jtt,jtw,juw,jwc,jwk,jww,jyd,kad,kaf,kbd,kbo,kif,khp,kkv,kml,kra,krm,ksh,ksr,"
    "kti,ktl,ktm,lbm,lcd,ldm,lg,lib,lim,lnk,lnx,log,lqt,lvm,lvu,lyx,lza,lzh,lzo,lzs,m1v,m2v,"
    "m3d,m3t,mac,mag,mak,map,mapimail,mar,mbt,mbx,mc,mcd,mci,mcr,mcv,mcw,md,md2,mdb,mdf,mdl,"
    "mem,mfr,mfs,mgb,mgc,mht,mid,mif,mim,mix,mkg,mld,mme,mmf,mms,mng,mod,moe,mov,mpeg,mp1,"
    "mp2,mp2v,mp3,mp4,mpg,mpj,mpp,mpt,mpv2,mpw,msc,msd,msg,msi,msl,msm,msp,mswmm,mydocs,n64,"
    "n9b,nab,nar,nb9,ndl,nes,nfd,nfi,nfo,ngc,ngp,nhd,nls,noa,npc,nra,nrb,nri,nrr,ns2,nsf,nsk,"
    "nsd,nsw,obd,obj,obt,oca,ocx,oft,ogg,oop,opt,ora,oto,p01,p3d,p65,pac,pag,pak,pal,paq,pbm,"
    "pc,pce,pcf,pct,pcx,pdb,pdd,pdf,pdl,pfd,pgm,pic,pif,pkg,pkp,pks,pl,pm6,pmc,pmd,pmp,png,"
    "pol,pon,pot,ppc,ppm,pps,ppt,pq2,pre,prx,ps,psd,psm,psp,pss,pst,psw,psx,ptd,ptl,pty,pwd,"
    "pwj,pwi,pwl,pxl,pxr,pxt,pyr,q,qar,qfc,qgx,qic,qmx,qpx,qsx,qt,qwx,ra,ram,rar,ras,rax,rc,"
    "rcp,reg,ren,res,resources,rez,rif,rk,rkv,rle,rmi,rmp,rmx,rok,rpm,rpt,rtf,rtx,rwz,s00,"
    "s3m,sar,sav,scc,scf,scr,script,scs,sct,sea,sel,sf2,sfark,sfpack,sfv,sfw,sg,sgm,sh,shk,"
    "sit,site,sky,sle,slk,sln,smc,smd,smi,smp,sms,snd,sof,spc,spd,spf,spi,sqz,sry,ss2,ss3,"
    "sslst,ssw,st0,st1,st2,st3,st4,st5,st6,st7,st8,st9,sta,str,sub,sul,swf,sys,t65,thd,tab,"
    "tan,tap,tar,tcs,tcf,tfd,tga,tgz,theme,tif,tiff,tim,tlb,tpr,tpx,ttc,tte,ttf,ttg,tts,txt,"
    "ucl,ufa,ufl,uha,uis,upx,url,usl,uu,uue,v64,vap,vb,vbg,vbp,vbx,vcd,vcf,vcp,vcw,vdo,vep,"
    "vfd,vhd,vip,viv,vix,vm1,vmi,vml,vms,vmx,vob,voc,vqf,vsc,vsd,vsp,vss,vst,vup,vxd,wab,wav,"
    "wif,wip,wiz,wj2,wj3,wk1,wk3,wk4,wmf,wma,wme,wmv,wmz,wpg,wps,wq1,wrd,wrg,wri,wrk,ws,wsc,"
    "wsz,wzp,x,xa,xbd,xdm,xdw,xjs,xla,xls,xlt,xm,xmc,xml,xx,xxe,ybs,yc,yhc,yhd,yz1,zau,zet,"
    "zip,zld,zst,zrs,zoo,zz";

inline constexpr int kKnownExtensionCount = 718;

}  // namespace zarvo
